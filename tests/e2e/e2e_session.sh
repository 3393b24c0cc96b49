# shellcheck shell=bash
# Sourced by the end-to-end scripts: a private X display, home, settings and
# runtime folder for the real program, with the test camera, and the helpers
# that read its state.
#   start_session PATH/TO/nimbrel-vizor
# After it: $program, $work, $pictures, $settings, DISPLAY and the rest of the
# environment; every pid in $app_pid and in the array app_pids is killed when
# the script ends.

app_pids=()
# shellcheck disable=SC2034 # program, pictures, settings: for the sourcing script
start_session() {
  program=$(readlink -f "$1")
  work=$(mktemp -d /tmp/vizor-e2e-XXXXXX)
  trap end_session EXIT
  [ -n "${VIZOR_E2E_KEEP:-}" ] && trap - EXIT

  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  exec 3>&-
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || fail "Xvfb did not start"
  DISPLAY=":$(cat "$work/display")"
  export DISPLAY
  export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/run"
  export VIZOR_TEST_CAMERA=1 QT_QPA_PLATFORM=xcb
  unset DBUS_SYSTEM_BUS_ADDRESS DBUS_SESSION_BUS_ADDRESS XDG_CURRENT_DESKTOP
  mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$work/bin"
  chmod 700 "$XDG_RUNTIME_DIR"
  pictures="$HOME/Pictures"
  settings="$XDG_CONFIG_HOME/nimbrel-vizor/registry.reg"
}

end_session() {
  local pid
  for pid in ${app_pid:-} "${app_pids[@]}"; do
    { kill -KILL "$pid" && wait "$pid"; } 2>/dev/null || true
  done
  if [ -n "${xvfb_pid:-}" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}

fail() {
  echo "FAIL: $*" >&2
  [ -f "$work/app.log" ] && sed 's/^/  app: /' "$work/app.log" >&2
  [ -f "$work/openbox.log" ] && sed 's/^/  openbox: /' "$work/openbox.log" >&2
  exit 1
}

wait_for() { # wait_for SECONDS COMMAND...: until the command succeeds
  local limit=$1
  shift
  for _ in $(seq $((limit * 10))); do "$@" && return 0; sleep 0.1; done
  return 1
}

counter() { # the stored photo counter, as a decimal number
  local line
  line=$(grep -F "\"$pictures\"=dword:" "$settings" 2>/dev/null) || { echo missing; return; }
  echo $((16#${line##*dword:}))
}

main_windows() { # the program's visible main windows, one id a line
  xdotool search --onlyvisible --name '^Nimbrel Vizor webcam$' 2>/dev/null || true
}
has_window() { [ -n "$(main_windows)" ]; }

# start_program SECONDS: the program, its output added to app.log, and its window
# within SECONDS; then $app_pid, $window, the window's geometry ($X, $Y,
# $WIDTH, $HEIGHT) and its client origin $win_x, $win_y.
# shellcheck disable=SC2034 # for the sourcing script
start_program() {
  "$program" >>"$work/app.log" 2>&1 &
  app_pid=$!
  wait_for "$1" has_window || fail "no window appeared"
  window=$(main_windows | head -1)
  eval "$(xdotool getwindowgeometry --shell "$window")"
  win_x=$X win_y=$Y
}

# A real window manager (openbox), then the program under it: $window is its
# main window.
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
# A manager that ended before it took the display is started once more; the
# failure says which of the display and the manager went away.
start_window_manager_and_program() {
  local try
  for try in 1 2; do
    openbox --sm-disable >>"$work/openbox.log" 2>&1 &
    app_pids+=($!)
    wait_for 30 wm_running && break
    kill -0 "$xvfb_pid" 2>/dev/null || fail "the X server ended"
    kill -0 "${app_pids[-1]}" 2>/dev/null && fail "the window manager did not start within 30 s"
    [ "$try" = 2 ] && fail "the window manager ended twice before it took the display"
  done
  start_program 30
}
