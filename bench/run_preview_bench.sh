#!/usr/bin/env bash
# The preview benchmark in one unattended run (about 10 minutes): its X11 rows
# under Xvfb (ximagesink), then its Wayland rows (waylandsink) under a headless
# weston and a headless mutter that the benchmark starts itself; mutter gets a
# session bus of its own.
#   bench/run_preview_bench.sh [BUILD_DIR]      BUILD_DIR defaults to build
set -euo pipefail
bench=$(readlink -f "${1:-build}/bench/preview_bench")
[ -x "$bench" ] || { echo "no $bench: build the preview_bench target first" >&2; exit 1; }
# GStreamer's Wayland library warns once per sink that a headless compositor
# offers no dmabuf; nothing the figures depend on.
quiet() { grep -v -e 'zwp_linux_dmabuf_v1' -e '^$' >&2 || true; }
echo "== X11 (Xvfb)"
xvfb-run -a -s "-screen 0 1024x768x24" "$bench" 2> >(quiet)
echo "== Wayland (headless weston)"
"$bench" --wayland 2> >(quiet)
echo "== Wayland (headless mutter)"
if command -v mutter >/dev/null; then
  dbus-run-session -- "$bench" --mutter 2> >(quiet)
else
  echo "mutter is not installed (Debian package mutter): no rows"
fi
