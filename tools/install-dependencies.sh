#!/bin/sh
# Installs, on Debian, whatever the builds and tests need and is missing.
# Runs as root (apt-get); does nothing when everything is there.
set -eu

packages="cmake ninja-build g++ g++-multilib googletest qemu-user libcli11-dev nlohmann-json3-dev"

missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "installing:$missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-remove $missing
fi
