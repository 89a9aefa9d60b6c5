#!/bin/sh
# Makes this machine able to run the i686 Setup.exe under Wine: Debian's
# 32-bit Wine under qemu user-mode emulation (the kernel here refuses 32-bit
# Linux programs). Safe to run again: every step checks first.
set -e

need_install=no
dpkg --print-foreign-architectures | grep -qx i386 || { dpkg --add-architecture i386; need_install=yes; }
for p in wine32:i386 wine32-preloader:i386 qemu-user-static; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need_install=yes
done
if [ "$need_install" = yes ]; then
  apt-get update -q
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    wine wine64 wine32:i386 wine32-preloader:i386 qemu-user-static
fi

# Global kernel state, lost at every boot: route 32-bit ELF programs to qemu.
mountpoint -q /proc/sys/fs/binfmt_misc || mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
if [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
  printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
    > /proc/sys/fs/binfmt_misc/register
fi
test -x /usr/lib/wine/wine
