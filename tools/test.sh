#!/bin/sh
# Builds every target from scratch and runs every test of every build: the
# four products (Linux x86-64 and i386, Windows x64 and x86 under Wine), the
# x86-64 suite under AddressSanitizer with UndefinedBehaviorSanitizer and
# under ThreadSanitizer, and the fuzz targets for a bounded time each.
set -eu
cd "$(dirname "$0")/.."
tools/install-dependencies.sh

start=$(date +%s)
for preset in linux-x64 linux-x86 windows-x64 windows-x86 \
              linux-x64-asan linux-x64-tsan linux-x64-fuzz; do
  echo "=== $preset"
  cmake --workflow --preset "$preset" --fresh
done
echo "=== every build passed its tests in $(( $(date +%s) - start )) s"
