#!/bin/sh
# Runs a Windows test program under Wine:
#
#   run-wine.sh x86_64|i386 STATE_DIR PROGRAM [ARGUMENTS...]
#
# STATE_DIR belongs to one build: its Wine prefix, a home folder of its own
# and what 32-bit runs need are made there on first use, so nothing depends
# on the user's own home or Wine prefix.  The program's exit status is
# Wine's.
set -e
arch=$1
state=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)

# Debian keeps Wine's loaders out of PATH; /usr/bin/wine insists on the
# 32-bit one, which cannot start where the kernel has no 32-bit support.
wine_dir=${ZARN_WINE_DIR:-/usr/lib/wine}
wine64=$wine_dir/wine64
wine32=$wine_dir/wine

mkdir -p "$state/home"
export WINEPREFIX="$state/prefix"
export HOME="$state/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share"
export XDG_CACHE_HOME="$HOME/.cache"
export WINEDEBUG=-all
# Neither .NET nor HTML nor desktop menus: the test programs use none.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY WINEARCH WINELOADER WINESERVER WINEDLLPATH

# 32-bit programs run natively where the kernel runs 32-bit code, else
# Wine's 32-bit loader runs under qemu's user-mode emulator.
if [ "$arch" = i386 ] && [ -z "$ZARN_I386_NATIVE" ]; then
  if /lib/ld-linux.so.2 --help >/dev/null 2>&1; then ZARN_I386_NATIVE=yes; else ZARN_I386_NATIVE=no; fi
fi
emulated=no
if [ "$arch" = i386 ] && [ "$ZARN_I386_NATIVE" != yes ]; then emulated=yes; fi
reserve=$state/wine-reserve-i386.so

# Made once, by whichever test program of the build starts first; the
# others wait for it.
exec 9>"$state/lock"
flock 9
if [ ! -f "$state/ready" ]; then
  rm -rf "$WINEPREFIX"
  # A 64-bit prefix serves both builds: 32-bit programs run in it as they do
  # on 64-bit Windows.
  if ! "$wine64" wineboot --init >"$state/wineboot.log" 2>&1; then
    echo "run-wine.sh: cannot make a Wine prefix with $wine64 (is wine64 installed?)" >&2
    cat "$state/wineboot.log" >&2
    exit 1
  fi
  "$wine_dir/wineserver" -w
  if [ "$emulated" = yes ]; then
    # wineboot could not start the 32-bit half of its set-up, which would
    # have put the 32-bit system DLLs into syswow64; links serve as well.
    pe_dir=$(cd "$wine_dir/../i386-linux-gnu/wine/i386-windows" && pwd)
    for file in "$pe_dir"/*; do
      target=$WINEPREFIX/drive_c/windows/syswow64/${file##*/}
      [ -e "$target" ] || ln -s "$file" "$target"
    done
  fi
  touch "$state/ready"
fi
reserve_source=$here/wine-reserve-i386.c
if [ "$emulated" = yes ] &&
   { [ ! -f "$reserve" ] || [ -n "$(find "$reserve_source" -newer "$reserve")" ]; }; then
  gcc -m32 -O2 -Wall -Wextra -Werror -shared -fPIC -o "$reserve" "$reserve_source"
fi
exec 9>&-

case $arch in
  x86_64) exec "$wine64" "$@" ;;
  i386)
    if [ "$emulated" = no ]; then exec "$wine32" "$@"; fi
    # Under qemu the loader must not execute itself again through its
    # preloader (the kernel refuses 32-bit files); the reserving library
    # stands in for the preloader.
    export WINELOADERNOEXEC=1
    exec "${ZARN_QEMU_I386:-qemu-i386}" -E LD_PRELOAD="$reserve" "$wine32" "$@"
    ;;
  *)
    echo "run-wine.sh: unknown architecture $arch" >&2
    exit 2
    ;;
esac
