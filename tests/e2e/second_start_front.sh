#!/usr/bin/env bash
# A second start brings the running window forward on a real X server whose
# window manager, like the desktops', decides which window is active: after
# another window took the focus by a click, the second start (launched with a
# startup id, as a desktop launcher does) makes the first window the active
# one, above all others for a moment, then an ordinary window again. A
# minimised window stays minimised, and its preview runs again once it is
# restored. The launch the startup id names is
# reported complete to launchers, on the root window.
#   second_start_front.sh PATH/TO/nimbrel-vizor
set -euo pipefail

# shellcheck source-path=SCRIPTDIR source=e2e_session.sh
source "$(dirname "$(readlink -f "$0")")/e2e_session.sh"
start_session "$1"

start_window_manager_and_program
active() { xdotool getactivewindow 2>/dev/null || true; }
wm_state() { xprop -id "$window" _NET_WM_STATE 2>/dev/null || true; }

# Another program's window, given the focus by the user's click.
xmessage -geometry 300x120+200+200 "another program" &
app_pids+=($!)
other_window() { xdotool search --onlyvisible --name '^xmessage$' 2>/dev/null | head -1; }
has_other_window() { [ -n "$(other_window)" ]; }
wait_for 10 has_other_window || fail "the other window did not appear"
xdotool mousemove --sync 350 260 click 1
other_active() { [ "$(active)" = "$(other_window)" ]; }
wait_for 5 other_active || fail "the other window is not active"

# The launcher's startup id carries the X time of the user's action; the X
# server's clock is the monotonic clock in milliseconds.
second_start() {
  local now
  now=$(python3 -c 'import time; print(int(time.clock_gettime(time.CLOCK_MONOTONIC) * 1000) & 0xffffffff)')
  DESKTOP_STARTUP_ID="vizor-test-$$_TIME$now" timeout 20 "$program" >>"$work/second.log" 2>&1 ||
    fail "second start exited with $?"
}
# Every change of the window's state, and what goes to the root window.
xprop -spy -id "$window" _NET_WM_STATE >"$work/states" 2>&1 &
app_pids+=($!)
xev -root -event property >"$work/root-events" 2>&1 &
app_pids+=($!)
sleep 0.5
second_start
program_active() { [ "$(active)" = "$window" ]; }
wait_for 5 program_active || fail "active window $(active), not the program's $window"
was_on_top() { grep -q _NET_WM_STATE_ABOVE "$work/states"; }
wait_for 3 was_on_top || fail "the window was not above the others: $(cat "$work/states")"
on_top() { wm_state | grep -q _NET_WM_STATE_ABOVE; }
wait_for 3 eval '! on_top' || fail "the window stayed above the others: $(wm_state)"
[ "$(main_windows | wc -l)" = 1 ] || fail "more than one window"
launch_complete() {
  grep -A1 "window $(printf '0x%x' "$window")," "$work/root-events" | grep -q _NET_STARTUP_INFO_BEGIN
}
wait_for 3 launch_complete || fail "the launch was not reported complete"

# Minimised, it stays minimised.
xdotool windowminimize --sync "$window"
minimised() { wm_state | grep -q _NET_WM_STATE_HIDDEN; }
wait_for 5 minimised || fail "the window did not minimise: $(wm_state)"
second_start
sleep 1
minimised || fail "a second start restored the minimised window: $(wm_state)"

# Restored, the preview runs again: the test picture's noise block changes
# from one frame to the next.
xdotool windowactivate --sync "$window"
wait_for 5 eval '! minimised' || fail "the window did not restore: $(wm_state)"
noise() { import -window "$window" -crop 100x60+500+380 +repage "$1"; }
sleep 0.5
noise "$work/noise1.png"
sleep 0.3
noise "$work/noise2.png"
[ "$(compare -metric AE "$work/noise1.png" "$work/noise2.png" null: 2>&1)" != 0 ] ||
  fail "the preview is frozen after the window was restored"
echo "second start brings the window forward: passed"
