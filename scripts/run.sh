#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
BUILD_TARGET=nimbrel-vizor ./scripts/build.sh build

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "nimbrel-vizor needs a graphical desktop: neither DISPLAY nor WAYLAND_DISPLAY is set." >&2
  echo "Start it from a desktop session, or under Xvfb: xvfb-run -s '-screen 0 1024x768x24' $0" >&2
  exit 1
fi
if ! ls /dev/video* >/dev/null 2>&1 && [ -z "${VIZOR_TEST_CAMERA:-}" ]; then
  echo "No camera found (/dev/video*): starting with the built-in test camera."
  export VIZOR_TEST_CAMERA=1
fi
exec ./build/app/nimbrel-vizor
