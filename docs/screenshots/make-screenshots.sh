#!/bin/bash
# Takes a screenshot of the main options dialog in each of its five languages:
# the x86_64 Setup.exe runs under Wine (Windows 95 reported) on a virtual X
# display, started from a disc that holds a package Setup.exe, and the
# screen is captured once the dialog shows.
#
#   cmake --preset win64 && cmake --build --preset win64 -j2
#   docs/screenshots/make-screenshots.sh            # writes docs/screenshots/*.png
#
# Needs wine64, Xvfb, ImageMagick, localedef (package locales) and a font
# with Latin, kana, Hangul and Han glyphs (package fonts-wqy-microhei).
# Wine takes the user's language from LANG/LC_ALL; the locales are compiled
# into the work folder and found through LOCPATH, so nothing is installed.
set -eu

ROOT=$(cd "$(dirname "$0")/../.." && pwd)
OUT=$ROOT/docs/screenshots
WORK=$ROOT/build/screenshots
SETUP_EXE=$ROOT/build/win64/Setup.exe
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
export WINEPREFIX=$WORK/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

[ -x "$SETUP_EXE" ] || { echo "build the win64 preset first: $SETUP_EXE" >&2; exit 1; }
mkdir -p "$WORK"

# The disc: the launcher and the package build it looks for on Windows 95.
DISC=$WORK/disc
rm -rf "$DISC"
mkdir -p "$DISC/W95-98/app"
cp "$SETUP_EXE" "$DISC/SETUP.EXE"
cp "$SETUP_EXE" "$DISC/W95-98/app/Setup.exe"

if [ ! -d "$WINEPREFIX/drive_c" ]; then
  "$WINE" wineboot -i >/dev/null 2>&1
  "$WINE" reg add 'HKCU\Software\Wine' /v Version /d win95 /f >/dev/null 2>&1
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  # Wine's caption font has no kana, Hangul or Han glyphs: draw captions in
  # one that has (bold, 8 point, default character set).
  CAPTION=$(python3 -c "
import struct
face = 'WenQuanYi Micro Hei'
lf = struct.pack('<iiiii8B', -11, 0, 0, 0, 700, 0, 0, 0, 1, 0, 0, 0, 0x22) + face.encode('utf-16-le')
print((lf + bytes(92 - len(lf))).hex().upper())")
  "$WINE" reg add 'HKCU\Control Panel\Desktop\WindowMetrics' /v CaptionFont /t REG_BINARY \
    /d "$CAPTION" /f >/dev/null 2>&1
  "$WINESERVER" -w
fi
ln -sfn "$DISC" "$WINEPREFIX/dosdevices/d:"

LOCALES=$WORK/locales
mkdir -p "$LOCALES"
for loc in fr_FR ja_JP ko_KR zh_TW; do
  [ -d "$LOCALES/$loc.UTF-8" ] || localedef -i $loc -f UTF-8 "$LOCALES/$loc.UTF-8"
done

# One language: locale, file name.
shoot() {
  local locale=$1 name=$2 fifo display xpid i mean
  fifo=$WORK/displayfd
  rm -f "$fifo" && mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 800x600x24 3>"$fifo" >/dev/null 2>&1 &
  xpid=$!
  read -r display <"$fifo"
  (cd / && env DISPLAY=:$display LOCPATH="$LOCALES" LANG=$locale LC_ALL=$locale \
     "$WINE" 'D:\SETUP.EXE' >/dev/null 2>&1 &)
  # Wait until something is drawn, then let the dialog finish painting.
  for i in $(seq 1 60); do
    sleep 0.5
    mean=$(DISPLAY=:$display import -window root -format '%[fx:mean]' info: 2>/dev/null || echo 0)
    awk "BEGIN { exit !($mean > 0.02) }" && break
  done
  sleep 1
  DISPLAY=:$display import -window root "$WORK/$name-screen.png"
  # The dialog stands at the top left of a black screen: cut it out.
  convert "$WORK/$name-screen.png" -bordercolor black -border 1 -trim +repage "$OUT/$name.png"
  "$WINESERVER" -k || true
  kill $xpid
  wait $xpid 2>/dev/null || true
  echo "$OUT/$name.png"
}

shoot C.UTF-8 options-dialog-1033-english
shoot fr_FR.UTF-8 options-dialog-1036-french
shoot ja_JP.UTF-8 options-dialog-1041-japanese
shoot ko_KR.UTF-8 options-dialog-1042-korean
shoot zh_TW.UTF-8 options-dialog-1028-chinese-traditional
