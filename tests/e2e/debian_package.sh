#!/usr/bin/env bash
# The Debian package, made from the build folder as a user makes it, and
# checked the way Debian checks one: the desktop entry and the AppStream
# metainfo validate, the package holds what the program needs where the
# desktop looks for it, its Depends come from the linked libraries plus the
# GStreamer plugins, and lintian finds no error.
#   debian_package.sh BUILD_DIR SOURCE_DIR
set -euo pipefail

build=$(readlink -f "$1")
source_dir=$(readlink -f "$2")
work=$(mktemp -d /tmp/vizor-package-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

desktop-file-validate "$source_dir/res/nimbrel-vizor.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$source_dir/res/io.github.nimbrel.Vizor.metainfo.xml" ||
  fail "AppStream metainfo"

(cd "$work" && timeout 120 cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work") \
  >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; fail "cpack"; }
debs=("$work"/nimbrel-vizor_*.deb)
[ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] || fail "no single package: ${debs[*]}"
deb=${debs[0]}

[ "$(dpkg-deb -f "$deb" Package)" = nimbrel-vizor ] || fail "package name"

# The files, exactly: the program, its desktop entry, icons and metainfo, the
# copyright and changelog; nothing else (no test or benchmark program).
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $1, $6 }' | sort >"$work/files"
{
  echo "-rwxr-xr-x ./usr/bin/nimbrel-vizor"
  echo "-rw-r--r-- ./usr/share/applications/nimbrel-vizor.desktop"
  echo "-rw-r--r-- ./usr/share/doc/nimbrel-vizor/changelog.gz"
  echo "-rw-r--r-- ./usr/share/doc/nimbrel-vizor/copyright"
  for size in 16 24 32 48 128 256; do
    echo "-rw-r--r-- ./usr/share/icons/hicolor/${size}x${size}/apps/nimbrel-vizor.png"
  done
  echo "-rw-r--r-- ./usr/share/metainfo/io.github.nimbrel.Vizor.metainfo.xml"
} | sort >"$work/expected"
diff -u "$work/expected" "$work/files" || fail "the package's files differ (- expected, + found)"

# Depends: the libraries the program links (found by dpkg-shlibdeps) and the
# plugins it loads by name.
depends=$(dpkg-deb -f "$deb" Depends)
for package in gstreamer1.0-plugins-base gstreamer1.0-x gstreamer1.0-plugins-good libgstreamer1.0-0 \
  libgstreamer-plugins-base1.0-0 libqt6widgets6 libqt6dbus6 libqt6network6 libjpeg62-turbo \
  libudev1 libc6; do
  [[ ", $depends," == *", $package "[\(,]* || ", $depends," == *", $package,"* ]] ||
    fail "Depends lacks $package: $depends"
done

lintian --fail-on error "$deb" 2>/dev/null || fail "lintian reports errors"
echo "debian package: passed ($(basename "$deb"))"
