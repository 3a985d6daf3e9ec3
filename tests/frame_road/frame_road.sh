#!/bin/sh
# The saver's frame on Xvfb screens of 8, 16 and 24 bits: through the GDI
# path (the program as it is) and through the direct path (a copy that Wine
# shows Windows 95, on the stand-in DCI provider), each checked by the body
# itself; then the two paths' frames of the same depth must be the same.
# Each screen gets its own Wine server in a prefix of this test's own.
set -eu
bin="$1"
prefix="$2"
wineprefix_script="$3"
work="$prefix-frames"
mkdir -p "$work"
"$wineprefix_script" "$prefix"
export WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="dciman32=n,b"
unset VISTARO_TRACE
wine reg add 'HKCU\Software\Wine\AppDefaults\frame_body95.exe' /v Version /t REG_SZ /d win95 /f >/dev/null 2>&1
wineserver -w
winpath() { p="Z:$1"; echo "$p" | sed 's|/|\\|g'; }
failed=0
# A free display number of our own.
display=200
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
# Each run names the bits per pixel of the back buffer it must draw in: the
# GDI path draws 8-bit palette indices on an 8-bit display and 24-bit pixels
# on deeper ones, the direct path the display's own depth.
run() {  # screen-depth program name bits
  rm -f "$work/$3.frame"
  echo "== $3: $2 on a ${1}-bit screen, drawing ${4}-bit pixels"
  Xvfb ":$display" -screen 0 "800x600x$1" -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
  if ! DISPLAY=":$display" FRAME_BITS="$4" FRAME_DUMP="$(winpath "$work/$3.frame")" \
       VISTARO_MESSAGEBOX_LOG="$(winpath "$work/$3.boxes")" wine "$bin/$2" </dev/null; then
    echo "$3: FAILED"
    failed=1
  fi
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
}
# Frames of the two paths agree: exactly, or within tolerance per channel
# where the GDI path's 24-bit pixels meet a display of fewer bits (its
# conversion rounds where the driver's own pixel truncates).
same() {  # gdi direct tolerance
  if python3 - "$work/$1.frame" "$work/$2.frame" "$3" <<'PY'
import sys
a = open(sys.argv[1], 'rb').read()
b = open(sys.argv[2], 'rb').read()
tol = int(sys.argv[3])
if len(a) != len(b) or not a:
    sys.exit("no frame to compare")
bad = sum(1 for i in range(0, len(a), 4) if any(abs(a[i + k] - b[i + k]) > tol for k in range(3)))
print("%d of %d pixels differ by more than %d" % (bad, len(a) // 4, tol))
sys.exit(1 if bad else 0)
PY
  then
    echo "$1 and $2: the same frame"
  else
    echo "$1 and $2: the frames differ"
    failed=1
  fi
}
run 24 frame_body.exe gdi24 24
run 24 frame_body95.exe direct32 32
run 16 frame_body.exe gdi16 24
run 16 frame_body95.exe direct16 16
run 8 frame_body.exe gdi8 8
run 8 frame_body95.exe direct8 8
same gdi24 direct32 0
same gdi16 direct16 4
same gdi8 direct8 0
exit $failed
