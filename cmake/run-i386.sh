#!/bin/sh
# Runs a 32-bit x86 Linux program: natively where the kernel runs 32-bit
# code, else under qemu's user-mode emulator (kernels built or booted
# without ia32 emulation refuse such programs outright).
if [ -z "$ZARN_I386_NATIVE" ]; then
  if /lib/ld-linux.so.2 --help >/dev/null 2>&1; then ZARN_I386_NATIVE=yes; else ZARN_I386_NATIVE=no; fi
fi
if [ "$ZARN_I386_NATIVE" = yes ]; then exec "$@"; fi
exec qemu-i386 "$@"
