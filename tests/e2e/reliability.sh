#!/usr/bin/env bash
# Crash safety and the single-instance rule of the real program under Xvfb.
# Rounds of: start, a storm of snapshot presses, SIGKILL at a random moment;
# after each kill and each new start the photos, the counter and the settings
# file are checked. Then twenty simultaneous starts give exactly one window.
#   reliability.sh PATH/TO/nimbrel-vizor [ROUNDS]
# VIZOR_E2E_SEED repeats the random kill moments of an earlier run.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=e2e_session.sh
source "$(dirname "$(readlink -f "$0")")/e2e_session.sh"
start_session "$1"
rounds=${2:-8}
seed=${VIZOR_E2E_SEED:-$$}
RANDOM=$seed
echo "reliability: $rounds rounds, seed $seed"

# Every published photo decodes completely: djpeg ends with status 2 on a
# warning such as a truncated file.
check_photos() {
  local photo
  for photo in "$pictures"/Picture\ [0-9][0-9][0-9][0-9].jpg; do
    [ -e "$photo" ] || continue
    djpeg -fast -outfile /dev/null "$photo" 2>"$work/djpeg.log" ||
      fail "$1: $(basename "$photo") does not decode: $(cat "$work/djpeg.log")"
  done
}

# The stored counter names a free number: the next snapshot never meets a
# photo it would have to skip, let alone overwrite.
check_counter() {
  local n
  n=$(counter)
  [ "$n" != missing ] || fail "$1: no counter stored"
  [ "$n" -le 10000 ] || fail "$1: counter $n"
  [ ! -e "$pictures/$(printf 'Picture %04d.jpg' "$n")" ] || fail "$1: counter $n is taken"
}

# REGEDIT4 text: the header, then keys, values, comments and blank lines only.
check_settings() {
  [ -f "$settings" ] || fail "$1: no settings file"
  [ "$(head -1 "$settings")" = REGEDIT4 ] || fail "$1: settings header is $(head -1 "$settings")"
  local bad
  bad=$(tail -n +2 "$settings" | grep -vnE '^$|^;|^\[[^]]+\]$|^("([^"\\]|\\.)*"|@)=[^[:space:]]' ||
    true)
  [ -z "$bad" ] || fail "$1: settings lines not understood: $bad"
}

temporaries() { find "$pictures" -maxdepth 1 -name '.vizor-*.tmp' 2>/dev/null | wc -l; }
# A start removes only temporaries older than a minute (a younger one may be
# another instance's at work): the killed writer's are dated back as if the
# next start came later.
age_temporaries() {
  find "$pictures" -maxdepth 1 -name '.vizor-*.tmp' -exec touch -h -d '2 minutes ago' {} + 2>/dev/null
}
photos() { find "$pictures" -maxdepth 1 -name 'Picture [0-9][0-9][0-9][0-9].jpg' | wc -l; }

start_program() {
  "$program" >>"$work/app.log" 2>&1 &
  app_pid=$!
  wait_for 30 has_window || fail "$1: no window appeared"
}

# The snapshot button at client (23, 501).
press_storm() { # press_storm COUNT: in the background; the clicker's pid in storm_pid
  local window x y
  window=$(main_windows | head -1)
  eval "$(xdotool getwindowgeometry --shell "$window")"
  x=$((X + 23)) y=$((Y + 501))
  # From a point beside it: a synchronous move to where the pointer already is
  # waits for a motion that never comes.
  xdotool mousemove "$x" $((y - 20)) mousemove --sync "$x" "$y" click --repeat "$1" --delay 8 1 \
    >/dev/null 2>&1 &
  storm_pid=$!
}

# Escape, typed with the pointer over the window (the display has no window
# manager: the keyboard follows the pointer). The key goes up whatever became
# of the window, or its auto-repeat would close every later one.
close_window() {
  local window
  window=$(main_windows | head -1)
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove --sync $((X + 320)) $((Y + 240)) key Escape || true
  xdotool keyup Escape
}

total_left=0
for round in $(seq "$rounds"); do
  start_program "round $round"
  if [ "$round" -gt 1 ]; then
    [ "$(temporaries)" = 0 ] || fail "round $round: temporaries left after the start: \
$(ls -A "$pictures")"
  fi
  check_settings "round $round, after the start"
  check_counter "round $round, after the start"

  sleep 1 # the preview's first frames
  before=$(photos)
  press_storm 400
  # Killed at a random moment from 0.2 to 3.2 s into the storm.
  sleep "$((RANDOM % 3)).$((RANDOM % 10))$((RANDOM % 10))"
  sleep 0.2
  kill -0 "$app_pid" 2>/dev/null || fail "round $round: the program ended before the kill"
  kill -KILL "$app_pid"
  wait "$app_pid" 2>/dev/null || true
  app_pid=
  kill "$storm_pid" 2>/dev/null || true
  wait "$storm_pid" 2>/dev/null || true
  # A clicker stopped between press and release would leave the button held.
  xdotool mouseup 1

  after=$(photos)
  left=$(temporaries)
  total_left=$((total_left + left))
  echo "round $round: $((after - before)) photos taken, counter $(counter), $left temporaries left"
  if [ "$round" = 1 ] && [ "$left" = 0 ]; then
    # Whether a kill lands inside a write is chance; the next start's clean-up
    # is checked every run with what such a kill leaves: part of a photo.
    head -c 3000 "$(find "$pictures" -name 'Picture *.jpg' | head -1)" >"$pictures/.vizor-Cut0ff.tmp"
    echo "round $round: a cut-off temporary put in"
  fi
  age_temporaries
  check_photos "round $round, after the kill"
  check_counter "round $round, after the kill"
  check_settings "round $round, after the kill"
done
[ "$(photos)" -gt 0 ] || fail "no photo was taken at all"

alive() { # the started pids still running, one a line
  local pid
  for pid in "${app_pids[@]}"; do kill -0 "$pid" 2>/dev/null && echo "$pid"; done
  return 0
}
one_left() { [ "$(alive | wc -l)" -le 1 ]; }

# Twenty starts at once: exactly one window; the other nineteen end quickly
# with status 0. Then the window is closed with Escape.
twenty_starts() { # twenty_starts LABEL
  local started elapsed running pid
  app_pids=()
  started=$(date +%s%N)
  for _ in $(seq 20); do
    "$program" >>"$work/app.log" 2>&1 &
    app_pids+=($!)
  done
  wait_for 30 has_window || fail "$1: none of twenty starts showed a window"
  wait_for 15 one_left || fail "$1: $(alive | wc -l) of twenty starts still run after 15 s"
  elapsed=$((($(date +%s%N) - started) / 1000000))
  running=$(alive)
  [ -n "$running" ] || fail "$1: the window's instance ended too"
  for pid in "${app_pids[@]}"; do
    [ "$pid" = "$running" ] && continue
    wait "$pid" || fail "$1: a second start exited with $?"
  done
  sleep 1 # a late second window would show by now
  [ "$(main_windows | wc -l)" = 1 ] || fail "$1: $(main_windows | wc -l) windows"
  [ "$(xdotool getwindowpid "$(main_windows)")" = "$running" ] ||
    fail "$1: the window is not the running instance's"
  echo "twenty starts $1: one window, nineteen ended within ${elapsed} ms"
  [ "$(temporaries)" = 0 ] || fail "$1: temporaries left after the start: $(ls -A "$pictures")"
  close_window
  wait "$running" || fail "$1: the window's instance exited with $? on Escape"
  app_pids=()
  check_settings "$1"
  check_counter "$1"
}

# First over the lock and the socket the last kill left behind, when every
# start may find the lock stale at once; then after a clean exit.
twenty_starts "over a killed instance's lock"
twenty_starts "after a clean exit"
echo "reliability: passed ($total_left temporaries left by kills, all removed by the next start)"
