#!/bin/bash
# Takes a screenshot of each of the two driver option dialogs of a web setup
# (VxD and WDM): the x86_64 Setup.exe runs under Wine (Windows 95 reported)
# on a virtual X display, started from a web setup's folder whose setup.ini
# says WebSetup=1, and the screen is captured once the dialog shows.
#
#   cmake --preset win64 && cmake --build --preset win64 -j2
#   docs/screenshots/make-driver-dialog-screenshots.sh   # writes docs/screenshots/*-driver-dialog.png
#
# Needs wine64, Xvfb and ImageMagick.
set -eu

ROOT=$(cd "$(dirname "$0")/../.." && pwd)
OUT=$ROOT/docs/screenshots
WORK=$ROOT/build/screenshots-driver
SETUP_EXE=$ROOT/build/win64/Setup.exe
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
export WINEPREFIX=$WORK/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

[ -x "$SETUP_EXE" ] || { echo "build the win64 preset first: $SETUP_EXE" >&2; exit 1; }
mkdir -p "$WORK"

if [ ! -d "$WINEPREFIX/drive_c" ]; then
  "$WINE" wineboot -i >/dev/null 2>&1
  "$WINE" reg add 'HKCU\Software\Wine' /v Version /d win95 /f >/dev/null 2>&1
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  "$WINESERVER" -w
fi

# The web setup's folder: the launcher and its setup.ini.
WEB=$WORK/web
ln -sfn "$WEB" "$WINEPREFIX/dosdevices/d:"

# One dialog: InstallWDMDriver value, file name.
shoot() {
  local wdm=$1 name=$2 fifo display xpid i mean
  rm -rf "$WEB" && mkdir -p "$WEB"
  cp "$SETUP_EXE" "$WEB/SETUP.EXE"
  printf '[InstallOption]\r\nWebSetup=1\r\nInstallWDMDriver=%s\r\n' "$wdm" >"$WEB/setup.ini"
  fifo=$WORK/displayfd
  rm -f "$fifo" && mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 800x600x24 3>"$fifo" >/dev/null 2>&1 &
  xpid=$!
  read -r display <"$fifo"
  (cd / && env DISPLAY=:$display "$WINE" 'D:\SETUP.EXE' >/dev/null 2>&1 &)
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

shoot 0 vxd-driver-dialog
shoot 1 wdm-driver-dialog
