#!/usr/bin/env bash
# The real program on a Wayland compositor (headless weston) through Qt's
# Wayland platform: it comes up, maps its window at its fixed size and stays
# up. The client's own protocol log shows what it asked and what was done.
#   wayland_start.sh PATH/TO/nimbrel-vizor
set -euo pipefail

# wait_for; the X session it also offers is not started here.
# shellcheck source-path=SCRIPTDIR source=e2e_session.sh
source "$(dirname "$(readlink -f "$0")")/e2e_session.sh"
program=$(readlink -f "$1")
work=$(mktemp -d /tmp/vizor-wayland-XXXXXX)
weston_pid='' app_pid=''
end() {
  local pid
  for pid in $app_pid $weston_pid; do
    { kill "$pid" && wait "$pid"; } 2>/dev/null || true
  done
  rm -rf "$work"
}
trap end EXIT
fail() {
  echo "FAIL: $*" >&2
  grep -v '^\[' "$work/app.log" | sed 's/^/  app: /' >&2 || true
  tail -5 "$work/weston.log" | sed 's/^/  weston: /' >&2 || true
  exit 1
}

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/run"
unset DISPLAY DBUS_SYSTEM_BUS_ADDRESS DBUS_SESSION_BUS_ADDRESS XDG_CURRENT_DESKTOP
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

weston --no-config --backend=headless-backend.so --socket=wayland-vizor --idle-time=0 \
  --width=1024 --height=768 >"$work/weston.log" 2>&1 &
weston_pid=$!
wait_for 20 test -S "$XDG_RUNTIME_DIR/wayland-vizor" || fail "weston did not start"

WAYLAND_DISPLAY=wayland-vizor QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client \
  VIZOR_TEST_CAMERA=1 "$program" >"$work/app.log" 2>&1 &
app_pid=$!

# Mapped: the compositor's first configure is acknowledged and a buffer is
# attached and committed after it.
mapped() {
  awk '/ack_configure\(/ { acked = 1 } acked && /wl_surface@[0-9]+\.attach\(wl_buffer/ { attached = 1 }
       attached && /wl_surface@[0-9]+\.commit\(/ { found = 1; exit } END { exit !found }' "$work/app.log"
}
wait_for 30 mapped || fail "the window was not mapped"
grep -q 'xdg_toplevel@[0-9]*\.set_title("Nimbrel Vizor webcam")' "$work/app.log" ||
  fail "no top-level window with the program's title"
grep -q 'xdg_toplevel@[0-9]*\.set_min_size(641, 614)' "$work/app.log" &&
  grep -q 'xdg_toplevel@[0-9]*\.set_max_size(641, 614)' "$work/app.log" ||
  fail "the window is not fixed at 641 x 614: $(grep -o 'set_m[a-z]*_size([0-9, ]*)' "$work/app.log")"

sleep 3
kill -0 "$app_pid" 2>/dev/null || { wait "$app_pid" || true; fail "the program ended on its own"; }
grep -q 'xdg_toplevel@[0-9]*\.destroy()' "$work/app.log" && fail "the window was taken down"
echo "wayland start: passed"
