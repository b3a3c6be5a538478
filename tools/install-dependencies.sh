#!/bin/sh
# Installs, on Debian, whatever the builds and tests need and is missing.
# Runs as root (apt-get); does nothing when everything is there.
#   install-dependencies.sh          everything tools/test.sh needs
#   install-dependencies.sh linux    what the two Linux builds need
set -eu

linux="cmake ninja-build g++ g++-multilib googletest qemu-user libcli11-dev nlohmann-json3-dev"
# The Windows builds: mingw-w64 with std::thread, and Wine for their tests
# (its 32-bit half from the i386 architecture).
windows="g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64 wine32:i386"
# The sanitizer and fuzz builds: clang with its libFuzzer runtime.
checks="clang libclang-rt-14-dev"

case "${1:-all}" in
  linux) packages=$linux ;;
  *) packages="$linux $windows $checks" ;;
esac

missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "installing:$missing"
  export DEBIAN_FRONTEND=noninteractive
  case "$missing" in
    *:i386*)
      dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386 ;;
  esac
  apt-get update
  apt-get install -y --no-remove $missing
fi
