#!/bin/sh
# Builds the library for both Linux targets and runs zarn-preview with no
# arguments: one settings call in the stand-in renderer, and the options it
# writes.
set -eu
cd "$(dirname "$0")/.."
tools/install-dependencies.sh linux

for preset in linux-x64 linux-x86; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
exec build/linux-x64/bin/zarn-preview
