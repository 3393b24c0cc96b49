#!/usr/bin/env bash
# The Debian package, made from the build folder as a user makes it, and
# checked the way Debian checks one: the desktop entry and the AppStream
# metainfo validate, the package holds what the program needs where the
# desktop looks for it (icons at every size, scalable and symbolic, the manual
# page), its licence is declared where Debian and software centres read it,
# its Depends come from the linked libraries plus the GStreamer plugins, the
# program is built hardened, and lintian, pedantic, finds nothing.
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
appstreamcli validate --no-net --pedantic "$source_dir/res/io.github.nimbrel.Vizor.metainfo.xml" \
  >"$work/appstream.log" 2>&1 || { cat "$work/appstream.log" >&2; fail "AppStream metainfo"; }
# The one pedantic note left is the component id's capital letter: the id is
# the program's published name, which a rename would take from its users.
if grep -E '^[EWIP]: ' "$work/appstream.log" | grep -v 'cid-contains-uppercase-letter' | grep -q .; then
  cat "$work/appstream.log" >&2
  fail "AppStream notes"
fi

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
  for size in 16 24 32 48 64 128 256; do
    echo "-rw-r--r-- ./usr/share/icons/hicolor/${size}x${size}/apps/nimbrel-vizor.png"
  done
  echo "-rw-r--r-- ./usr/share/icons/hicolor/scalable/apps/nimbrel-vizor.svg"
  echo "-rw-r--r-- ./usr/share/icons/hicolor/symbolic/apps/nimbrel-vizor-symbolic.svg"
  echo "-rw-r--r-- ./usr/share/lintian/overrides/nimbrel-vizor"
  echo "-rw-r--r-- ./usr/share/man/man1/nimbrel-vizor.1.gz"
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

# The licence: GPL-3.0-or-later for the program and CC0-1.0 for the metainfo,
# in the machine-readable copyright file and in the installed metainfo.
dpkg-deb -x "$deb" "$work/root"
copyright="$work/root/usr/share/doc/nimbrel-vizor/copyright"
grep -qx 'License: GPL-3+' "$copyright" || fail "copyright: no GPL-3+ licence"
grep -qx 'License: CC0-1.0' "$copyright" || fail "copyright: no CC0-1.0 licence for the metainfo"
metainfo="$work/root/usr/share/metainfo/io.github.nimbrel.Vizor.metainfo.xml"
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$metainfo" ||
  fail "metainfo: no project licence"
grep -q '<metadata_license>CC0-1.0</metadata_license>' "$metainfo" || fail "metainfo: no metadata licence"
# The icons are what they are named: PNG of their size, SVG.
for size in 16 24 32 48 64 128 256; do
  file -b "$work/root/usr/share/icons/hicolor/${size}x${size}/apps/nimbrel-vizor.png" |
    grep -q "PNG image data, $size x $size, 8-bit/color RGBA" || fail "icon $size is not a $size px RGBA PNG"
done
for svg in scalable/apps/nimbrel-vizor.svg symbolic/apps/nimbrel-vizor-symbolic.svg; do
  file -b "$work/root/usr/share/icons/hicolor/$svg" | grep -q 'SVG' || fail "$svg is not SVG"
done
# The manual page reads: it has a name line and says the program takes no command line.
man -l "$work/root/usr/share/man/man1/nimbrel-vizor.1.gz" 2>/dev/null | grep -q 'no command line' ||
  fail "the manual page does not say the program takes no command line"

# Every finding fails, down to the informational and pedantic ones, but for
# the few the package's own lintian overrides name, each with its reason.
lintian --pedantic --display-info --fail-on error,warning,info,pedantic "$deb" >"$work/lintian.log" 2>&1 ||
  { cat "$work/lintian.log" >&2; fail "lintian reports findings"; }
echo "debian package: passed ($(basename "$deb"))"
