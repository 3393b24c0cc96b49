#!/usr/bin/env bash
# The window as a screen reader user and a keyboard user meet it, on a real X
# server with a window manager and the desktop's accessibility bus: the skin's
# controls are named push buttons, the logo an image, the strip a list; then,
# with keys alone, a photo is taken (Tab, Space), appears as a selected list
# item, is deleted (Tab to the strip, Delete, Yes), and the resolution menu
# opened with Space is in the tree with its items.
#   keyboard_screen_reader.sh PATH/TO/nimbrel-vizor
set -euo pipefail

here=$(dirname "$(readlink -f "$0")")
# shellcheck source-path=SCRIPTDIR source=e2e_session.sh
source "$here/e2e_session.sh"
start_session "$1"

# The session bus starts the accessibility bus when a program asks for it.
dbus-daemon --session --nofork --nopidfile --address="unix:path=$XDG_RUNTIME_DIR/bus" \
  >"$work/dbus.log" 2>&1 &
app_pids+=($!)
export DBUS_SESSION_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/bus"
bus_up() { [ -S "$XDG_RUNTIME_DIR/bus" ]; }
wait_for 10 bus_up || fail "no session bus"
# What a running screen reader makes the desktop say to every program.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

start_window_manager_and_program
xdotool windowactivate --sync "$window"

tree() { /usr/bin/python3 "$here/atspi_tree.py" nimbrel-vizor 20 >"$work/tree" || fail "no tree"; }
# has_line PATTERN: a line of the tree (role|name|states|actions) matches.
has_line() { grep -Eq -- "$1" "$work/tree"; }
expect_line() {
  has_line "$1" || { cat "$work/tree" >&2; fail "no accessible like: $1"; }
}
tree_has() { tree && has_line "$1"; }

tree
expect_line '^  dialog\|Nimbrel Vizor webcam\|'
expect_line '^    push button\|Take a photo\|enabled,focusable,showing\|Press'
expect_line '^    push button\|Delete the selected photos\|focusable,showing\|Press'
expect_line '^    push button\|Resolution: 640x480\|enabled,focusable'
expect_line '^    push button\|Camera settings\|enabled,focusable'
expect_line '^    image\|Nimbrel Vizor webcam\|'
expect_line '^    image\|Live picture\|'
expect_line '^    scroll bar\|Scroll the photos\|'
expect_line '^    list\|Photos\|enabled,focusable'
has_line 'list item' && fail "list items without photos: $(grep 'list item' "$work/tree")"
has_line '^    (frame|filler)\|\|.*\|Press' && fail "an unnamed control with an action"

# Keys alone: the first Tab reaches the snapshot button, Space takes a photo.
xdotool key Tab
focused() { tree_has "^    push button\|$1\|[a-z,]*focused"; }
wait_for 5 focused 'Take a photo' || fail "Tab did not focus the snapshot button"
xdotool key space
photo="$pictures/Picture 0000.jpg"
wait_for 10 test -s "$photo" || fail "Space on the snapshot button wrote no photo"
wait_for 5 tree_has '^      list item\|Picture 0000.jpg\|enabled,[a-z,]*selected,showing\|activate' ||
  { cat "$work/tree" >&2; fail "the new photo is not a selected list item"; }

# On to the strip (over delete, resolution, settings), Delete, and Yes.
for _ in 1 2 3 4; do xdotool key Tab; sleep 0.2; done
wait_for 5 tree_has '^    list\|Photos\|[a-z,]*focused' || fail "Tab did not reach the strip"
xdotool key Delete
question() { [ "$(xdotool getactivewindow getwindowname 2>/dev/null)" = "Nimbrel Vizor webcam" ] &&
  [ "$(xdotool getactivewindow 2>/dev/null)" != "$window" ]; }
wait_for 10 question || fail "Delete asked nothing"
xdotool key Return
wait_for 10 test ! -e "$photo" || fail "the photo was not deleted"

# Back to the resolution button (the delete button is disabled again): Space
# opens the menu, and a screen reader sees it and its items.
xdotool key shift+Tab
sleep 0.2
xdotool key shift+Tab
wait_for 5 focused 'Resolution: 640x480' || fail "Shift+Tab did not reach the resolution button"
xdotool key space
wait_for 10 tree_has '^    popup menu\|Resolution\|' || { cat "$work/tree" >&2; fail "the open menu is not in the tree"; }
expect_line '^      menu item\|320x240\|enabled'
expect_line '^      menu item\|640x480\|enabled'
xdotool key Escape
echo "keyboard and screen reader: passed"
