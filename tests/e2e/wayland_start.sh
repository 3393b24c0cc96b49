#!/usr/bin/env bash
# The real program on a Wayland compositor (headless weston) through Qt's
# Wayland platform: it comes up, maps its window at its fixed size, shows the
# test camera upright over the whole preview host (in the compositor's own
# screenshot) and stays up. The client's own protocol log shows what it asked
# and what was done.
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

# Pixman renders real pixels; --debug lets weston-screenshooter read them.
weston --no-config --backend=headless-backend.so --use-pixman --debug --socket=wayland-vizor \
  --idle-time=0 --width=1024 --height=768 >"$work/weston.log" 2>&1 &
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

# The compositor's picture of the output, as "R G B" at x, y.
shot() {
  rm -f "$work"/wayland-screenshot-*.png
  (cd "$work" && WAYLAND_DISPLAY=wayland-vizor timeout 10 weston-screenshooter) >/dev/null 2>&1 &&
    mv "$work"/wayland-screenshot-*.png "$work/shot.png" 2>/dev/null
}
pixel() {
  convert "$work/shot.png" -alpha off -crop "1x1+$1+$2" -depth 8 txt:- |
    sed -nE 's/^[0-9]+,[0-9]+: \(([0-9]+),([0-9]+),([0-9]+)\).*/\1 \2 \3/p'
}
is() { # is COLOUR R G B
  case $1 in
    yellow) [ "$2" -gt 150 ] && [ "$3" -gt 150 ] && [ "$4" -lt 60 ] ;;
    white) [ "$2" -gt 150 ] && [ "$3" -gt 150 ] && [ "$4" -gt 150 ] ;;
    black) [ "$2" -lt 60 ] && [ "$3" -lt 60 ] && [ "$4" -lt 60 ] ;;
    blue) [ "$2" -lt 60 ] && [ "$3" -lt 60 ] && [ "$4" -gt 150 ] ;;
  esac
}
# The top-left pixel of SMPTE's yellow bar, the second of seven across the
# 640 x 480 host; the window lands where the shell puts it.
yellow_corner() {
  shot && convert "$work/shot.png" -alpha off -depth 8 txt:"$work/shot.txt" &&
    awk -F'[(),: ]+' '!/^#/ && $3 > 150 && $4 > 150 && $5 < 60 { print $1, $2; found = 1; exit }
                      END { exit !found }' "$work/shot.txt"
}
wait_for 20 yellow_corner >/dev/null || fail "no preview picture on the compositor's output"
read -r x0 y0 < <(yellow_corner)
# The white bar before it is 92 pixels wide at 640.
left=$((x0 - 92))
# Upright: the bars at the top, the black of the middle strip under the yellow
# bar, the white block of the bottom strip under that; 640 wide.
is yellow $(pixel $((x0 + 45)) $((y0 + 10))) || fail "no yellow bar at $x0,$y0"
is black $(pixel $((x0 + 45)) $((y0 + 340))) || fail "the middle strip is not under the bars"
is white $(pixel $((x0 + 45)) $((y0 + 420))) || fail "the bottom strip is not at the foot"
is blue $(pixel $((left + 636)) $((y0 + 10))) || fail "the picture does not reach 640 wide"
is blue $(pixel $((left + 644)) $((y0 + 10))) && fail "the picture is wider than the host"
# Where it lies: the window (its frame, title) just left of and above the
# picture, and beyond the dialog's black surround of the host (3 columns to
# the right, 2 rows below) the window again, not the black of an uncovered host.
for edge in "$((left - 1)) $((y0 + 10))" "$((x0 + 45)) $((y0 - 1))" \
  "$((left + 643)) $((y0 + 10))" "$((x0 + 45)) $((y0 + 482))"; do
  # shellcheck disable=SC2086 # x and y
  is black $(pixel $edge) && fail "the picture is not over the host: black at $edge"
done

sleep 3
kill -0 "$app_pid" 2>/dev/null || { wait "$app_pid" || true; fail "the program ended on its own"; }
grep -q 'xdg_toplevel@[0-9]*\.destroy()' "$work/app.log" && fail "the window was taken down"
echo "wayland start: passed"
