#!/usr/bin/env bash
# The whole program under Xvfb, driven with real input events: snapshot, open,
# resolution change, deletion, second start and close, checked on disk, in the
# settings file and on the screen.
#   end_to_end.sh PATH/TO/nimbrel-vizor
set -euo pipefail

# shellcheck source-path=SCRIPTDIR source=e2e_session.sh
source "$(dirname "$(readlink -f "$0")")/e2e_session.sh"
start_session "$1"
# The desktop's opener: a stand-in viewer that records what it was asked to open.
cat >"$work/bin/xdg-open" <<VIEWER
#!/bin/sh
echo "\$1" >> "$work/opened"
VIEWER
chmod +x "$work/bin/xdg-open"
export PATH="$work/bin:$PATH"

jpeg_size() { identify -format '%wx%h' "$1" 2>/dev/null; }
pixel() { # pixel X Y: the colour at client (X, Y) of the window, as r,g,b
  convert "$work/shot.png" -format "%[fx:int(255*p{$(($1 + win_x)),$(($2 + win_y))}.r)],%[fx:int(255*p{$(($1 + win_x)),$(($2 + win_y))}.g)],%[fx:int(255*p{$(($1 + win_x)),$(($2 + win_y))}.b)]" info:
}
click() { xdotool mousemove --sync $(($1 + win_x)) $(($2 + win_y)) click 1; }

start_program 30
[ "$WIDTH" = 641 ] && [ "$HEIGHT" = 614 ] || fail "window is ${WIDTH}x${HEIGHT}"
[ "$(counter)" = 0 ] || fail "counter after the first start: $(counter)"

# Snapshot at 640 x 480: the camera button, a real click.
sleep 1 # the preview's first frames
click 23 501
wait_for 10 test -f "$pictures/Picture 0000.jpg" || fail "no Picture 0000.jpg"
[ "$(jpeg_size "$pictures/Picture 0000.jpg")" = 640x480 ] || fail "photo 0 is not 640x480"
[ "$(counter)" = 1 ] || fail "counter after one snapshot: $(counter)"
# The test picture's top-left bar is white-ish, its bottom-left is dark blue-ish.
top=$(convert "$pictures/Picture 0000.jpg" -format '%[fx:int(255*p{10,10}.r)]' info:)
[ "$top" -gt 150 ] || fail "photo 0 does not show the test picture (top-left red $top)"

sleep 0.5
import -window root "$work/shot.png"
[ "$(pixel 100 556)" = "99,99,99" ] || fail "panel is $(pixel 100 556), not grey"
# The scroll bar's last row is 612, the client area's last 613.
[ "$(pixel 300 612)" != "249,249,249" ] || fail "no scroll bar on row 612"
[ "$(pixel 300 613)" = "249,249,249" ] || fail "row 613 is $(pixel 300 613)"
# Photo 0 is selected in slot 0: the frame around the cell is (0, 192, 255).
[ "$(pixel 21 528)" = "0,192,255" ] || fail "slot 0 frame is $(pixel 21 528)"
# The preview the right way up: the test picture's yellow second bar at the
# top, the white block of its bottom strip below it.
[ "$(pixel 137 100)" = "251,251,0" ] || fail "preview top is $(pixel 137 100), not yellow"
[ "$(pixel 150 430)" = "253,253,253" ] || fail "preview bottom is $(pixel 150 430), not white"

# Double-click the thumbnail: the viewer is asked to open the photo.
xdotool mousemove --sync $((58 + win_x)) $((556 + win_y)) click --repeat 2 --delay 80 1
wait_for 5 test -s "$work/opened" || fail "double-click opened nothing"
grep -q "Picture%200000.jpg\|Picture 0000.jpg" "$work/opened" || fail "opened $(cat "$work/opened")"

# 320 x 240 through the resolution menu: its first item.
click 139 501
sleep 0.5
xdotool key --clearmodifiers Down Return
sleep 2
click 23 501
wait_for 10 test -f "$pictures/Picture 0001.jpg" || fail "no Picture 0001.jpg"
[ "$(jpeg_size "$pictures/Picture 0001.jpg")" = 320x240 ] || fail "photo 1 is not 320x240"
[ "$(counter)" = 2 ] || fail "counter after two snapshots: $(counter)"

# Select both (click, Shift-click) and delete them with the Delete key and Yes.
click 58 556
xdotool keydown shift
click 144 556
xdotool keyup shift
xdotool key Delete
sleep 1
xdotool key Return
wait_for 10 test ! -e "$pictures/Picture 0000.jpg" || fail "photo 0 not deleted"
wait_for 10 test ! -e "$pictures/Picture 0001.jpg" || fail "photo 1 not deleted"

# A second start ends at once and leaves the settings alone.
before=$(md5sum <"$settings")
timeout 20 "$program" >"$work/second.log" 2>&1 || fail "second start exited with $?"
[ "$(md5sum <"$settings")" = "$before" ] || fail "the second start wrote the settings"
[ "$(main_windows | wc -l)" = 1 ] ||
  fail "more than one window"

# Escape closes the window; the counter stays at 2.
xdotool key Escape
wait_for 15 bash -c "! kill -0 $app_pid 2>/dev/null" || fail "Escape did not close the window"
wait "$app_pid" || fail "the program exited with $?"
app_pid=
[ "$(counter)" = 2 ] || fail "counter after closing: $(counter)"
echo "end to end: passed"
