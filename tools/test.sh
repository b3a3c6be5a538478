#!/bin/sh
# Builds every target from scratch and runs every test of every build.
set -eu
cd "$(dirname "$0")/.."
tools/install-dependencies.sh

for preset in linux-x64 linux-x86; do
  echo "=== $preset"
  cmake --workflow --preset "$preset" --fresh
done
