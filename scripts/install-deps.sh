#!/usr/bin/env bash
# Installs every Debian package the build, the program and the tests need.
# Idempotent: the package lists are refreshed only when something is missing.
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config clang-format
  # program
  qt6-base-dev qt6-base-dev-tools qt6-base-private-dev
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-tools
  gstreamer1.0-pipewire gstreamer1.0-x gstreamer1.0-plugins-bad
  # Qt's own texts (Yes, No, ...) in the user's language
  qt6-translations-l10n
  libjpeg62-turbo-dev libudev-dev libxcb1-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libjpeg-turbo-progs
  xvfb xauth x11-utils xdotool imagemagick fonts-dejavu-core
  dbus python3-dbusmock umockdev
  # the desktop's accessibility bus and a client that walks it, as screen readers do
  at-spi2-core python3-pyatspi
  # a real window manager, a Wayland compositor and Qt's Wayland platform
  openbox weston qt6-wayland
  # the Debian package and its checks
  dpkg-dev file desktop-file-utils appstream lintian
  # a private PipeWire session that publishes virtual cameras
  pipewire wireplumber gstreamer1.0-plugins-base-apps
  # a network share whose server stopped answering: a FUSE file system
  fuse3 python3-fusepy
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
