#!/bin/sh
# Builds the bench preset, runs the benchmarks and the callgrind counts, and
# regenerates docs/performance.md.
set -eu
cd "$(dirname "$0")/.."
for p in valgrind libbenchmark-dev python3; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
    { apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-remove "$p"; }
done
cmake --preset bench
cmake --build --preset bench
mkdir -p docs
python3 tools/measure-performance.py build/bench/bin docs/performance.md
