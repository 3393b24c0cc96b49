#!/usr/bin/env bash
# The real program on X11 with a camera that never starts: a PipeWire camera
# that is listed but never linked (no session manager). After the start-up
# retries the host shows its status line, not the video window's black; a
# resolution chosen from the menu shows on the button at once, while the
# restart still runs, and the line is back once the restart gives up.
#   status_line_x11.sh PATH/TO/nimbrel-vizor
set -euo pipefail

# shellcheck source-path=SCRIPTDIR source=e2e_session.sh
source "$(dirname "$(readlink -f "$0")")/e2e_session.sh"
start_session "$1"
unset VIZOR_TEST_CAMERA
bitmaps="$(dirname "$(readlink -f "$0")")/../../res/bitmaps"

# A private PipeWire daemon publishing one camera, without a session manager.
export PIPEWIRE_RUNTIME_DIR="$work/pipewire"
mkdir -m 700 "$PIPEWIRE_RUNTIME_DIR"
XDG_RUNTIME_DIR=$PIPEWIRE_RUNTIME_DIR pipewire >"$work/pipewire.log" 2>&1 &
app_pids+=($!)
wait_for 10 test -S "$PIPEWIRE_RUNTIME_DIR/pipewire-0" || fail "PipeWire did not start"
XDG_RUNTIME_DIR=$PIPEWIRE_RUNTIME_DIR gst-launch-1.0 -q videotestsrc is-live=true \
  ! video/x-raw,format=YUY2,width=640,height=480,framerate=30/1 \
  ! pipewiresink mode=provide \
  stream-properties="props,media.class=Video/Source,node.description=Silent_Cam" \
  >"$work/publisher.log" 2>&1 &
app_pids+=($!)
listed() {
  XDG_RUNTIME_DIR=$PIPEWIRE_RUNTIME_DIR timeout 5 gst-device-monitor-1.0 Video/Source \
    >"$work/devices" 2>/dev/null || true
  grep -q Silent_Cam "$work/devices"
}
wait_for 10 listed || fail "the camera was not listed"

shot() { import -window root "$work/shot.png"; }
# The width in pixels of the light text in the band through the host's
# centre; 0 when the band is all dark (the video window's black over it).
status_width() {
  local box
  box=$(convert "$work/shot.png" -crop "600x40+$((win_x + 20))+$((win_y + 220))" +repage \
    -colorspace Gray -threshold 50% -format '%@' info: 2>/dev/null)
  [ "${box%%x*}" -lt 600 ] 2>/dev/null && echo "${box%%x*}" || echo 0
}
# How many pixels of the resolution button differ from a bitmap.
button_differs_from() {
  convert "$work/shot.png" -crop "86x30+$((win_x + 96))+$((win_y + 486))" +repage "$work/button.png"
  compare -metric AE -fuzz 10% "$work/button.png" "$bitmaps/$1" null: 2>&1 || true
}

start_program 60

# The start-up retries are over when the window shows; "The camera does not
# respond" is wider than the other lines.
sleep 1
shot
width=$(status_width)
[ "$width" -gt 140 ] || fail "no status line after the start-up retries (text width $width)"

# 320 x 240 from the menu: the button's face within half a second, while the
# restart's retries hold the program.
xdotool mousemove --sync $((139 + win_x)) $((501 + win_y)) click 1
sleep 0.5
xdotool key --clearmodifiers Down Return
sleep 0.5
shot
[ "$(button_differs_from res320_normal.png)" -lt 50 ] ||
  fail "the button does not show 320x240 during the restart ($(button_differs_from res320_normal.png) pixels differ)"

# The restart gives up within its ten seconds (and one late attempt).
sleep 14
shot
width=$(status_width)
[ "$width" -gt 140 ] || fail "no status line after the restart (text width $width)"
[ "$(button_differs_from res320_normal.png)" -lt 50 ] || fail "the button lost the 320x240 face"

xdotool key Escape
wait_for 15 bash -c "! kill -0 $app_pid 2>/dev/null" || fail "Escape did not close the window"
app_pid=
echo "status line on X11: passed"
