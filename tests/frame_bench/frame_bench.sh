#!/bin/sh
# Runs the frame benchmark on Xvfb screens of 8, 16 and 24 bits, on the GDI
# path and on the direct path (Windows 95, stand-in DCI provider), each on
# a Wine server of its own.  Usage: frame_bench.sh [frames]   (from the
# repository, after scripts/build)
set -eu
frames="${1:-${FRAMES:-300}}"
here="$(cd "$(dirname "$0")/../.." && pwd)"
bin="$here/build/bin"
prefix="$here/build/benchprefix"
"$here/scripts/wine-prefix" "$prefix"
export WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="dciman32=n,b"
wine reg add 'HKCU\Software\Wine\AppDefaults\frame_bench95.exe' /v Version /t REG_SZ /d win95 /f >/dev/null 2>&1
wineserver -w
display=300
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
# Each run: screen depth, program, and the bits per pixel it must draw at
# (the GDI path draws 24-bit pixels on displays deeper than 8 bits); a run
# that draws at another depth prints why and makes the script fail.
failed=0
for run in "24 frame_bench.exe 24" "24 frame_bench95.exe 32" "16 frame_bench.exe 24" "16 frame_bench95.exe 16" \
           "8 frame_bench.exe 8" "8 frame_bench95.exe 8"; do
  set -- $run
  Xvfb ":$display" -screen 0 "1024x768x$1" -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
  DISPLAY=":$display" VISTARO_MESSAGEBOX_LOG="Z:\\tmp\\frame_bench_boxes.log" wine "$bin/$2" "$frames" "$3" </dev/null || failed=1
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
done
exit $failed
