#!/usr/bin/env bash
# The camera's settings under Xvfb with the test camera, driven by real input:
# saturation to its minimum in the settings dialog, the program closed and
# started again, and the preview grey from its first painted frame; Default
# brings the colour back, and the next start keeps it.
#   camera_controls.sh PATH/TO/nimbrel-vizor
set -euo pipefail

# shellcheck source-path=SCRIPTDIR source=e2e_session.sh
source "$(dirname "$(readlink -f "$0")")/e2e_session.sh"
start_session "$1"

kept_key='[HKEY_CURRENT_USER\SOFTWARE\NimbrelVizor\CameraControls\name:Vizor Test Camera]'
# The test picture's yellow bar, at client (137, 300) of the preview: below the
# dialog, which opens at (30, 30).
bar() {
  convert "$work/shot.png" -format "%[fx:int(255*p{$((137 + win_x)),$((300 + win_y))}.r)] %[fx:int(255*p{$((137 + win_x)),$((300 + win_y))}.g)] %[fx:int(255*p{$((137 + win_x)),$((300 + win_y))}.b)]" info:
}
spread() { # how far the bar is from grey: 0 for grey, about 250 for yellow
  local r g b
  read -r r g b <<<"$(bar)"
  local max=$r min=$r
  for c in $g $b; do
    ((c > max)) && max=$c
    ((c < min)) && min=$c
  done
  echo $((max - min))
}
painted() { # a frame is on screen: the bar is no longer the host's black
  import -window root "$work/shot.png"
  local r g b
  read -r r g b <<<"$(bar)"
  ((r + g + b > 60))
}
close_program() {
  xdotool key Escape
  wait_for 15 bash -c "! kill -0 $app_pid 2>/dev/null" || fail "Escape did not close the window"
  wait "$app_pid" || fail "the program exited with $?"
  app_pid=
}
dialog() { xdotool search --onlyvisible --name '^Vizor Test Camera$' 2>/dev/null | head -1; }
# Asked again on every try of wait_for.
dialog_shown() { [ -n "$(dialog)" ]; }
dialog_gone() { [ -z "$(dialog)" ]; }
open_dialog() {
  xdotool mousemove --sync $((211 + win_x)) $((503 + win_y)) click 1
  wait_for 10 dialog_shown || fail "the settings dialog did not open"
}
close_dialog() {
  # The dialog is gone by the key's release, which xdotool then cannot send.
  xdotool key --window "$(dialog)" Escape 2>/dev/null || true
  wait_for 10 dialog_gone || fail "the settings dialog did not close"
  # The window's modal loop ends after the dialog is unmapped.
  sleep 1
}

start_program 30
wait_for 10 painted || fail "no preview"
[ "$(spread)" -gt 150 ] || fail "the preview has no colour at the start: $(bar)"

# The dialog opens on its picture page with the tab bar focused; the third
# control is the saturation.
open_dialog
xdotool key --window "$(dialog)" Tab Tab Tab Home
sleep 1
import -window root "$work/shot.png"
[ "$(spread)" -lt 10 ] || fail "saturation at its minimum leaves colour: $(bar)"
close_dialog
grep -qF "$kept_key" "$settings" || fail "the saturation was not kept"
close_program

# Grey from the first painted frame: the kept value is set before the camera
# runs.
start_program 30
wait_for 10 painted || fail "no preview after the new start"
[ "$(spread)" -lt 10 ] || fail "the first frame after the new start has colour: $(bar)"

open_dialog
xdotool key --window "$(dialog)" Tab Tab Tab Tab Tab space
sleep 1
import -window root "$work/shot.png"
[ "$(spread)" -gt 150 ] || fail "Default did not bring the colour back: $(bar)"
close_dialog
! grep -qF "$kept_key" "$settings" || fail "Default left the kept values"
close_program

start_program 30
wait_for 10 painted || fail "no preview after the last start"
[ "$(spread)" -gt 150 ] || fail "the start after Default has no colour: $(bar)"
close_program
echo "camera controls: passed"
