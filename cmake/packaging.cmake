# The Debian package: `cpack -G DEB` in the build folder makes
# nimbrel-vizor_<version>_<arch>.deb with the program, its desktop entry,
# icons and AppStream metainfo (installed by their own folders' rules), the
# manual page and the licence (GPL-3.0-or-later; the metainfo CC0-1.0).
# The shared libraries it links come from dpkg-shlibdeps; the GStreamer
# plugins it loads at run time are named here, as nothing links them.

# What Debian wants of every package: the copyright file and the changelog,
# compressed without a time stamp.
set(_vizor_doc share/doc/nimbrel-vizor)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/changelog.gz
  COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/cmake/debian/changelog > ${CMAKE_BINARY_DIR}/changelog.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/cmake/debian/changelog)
add_custom_target(package_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/changelog.gz)
install(FILES ${CMAKE_SOURCE_DIR}/cmake/debian/copyright ${CMAKE_BINARY_DIR}/changelog.gz
  DESTINATION ${_vizor_doc})
# The manual page, compressed the same way.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/nimbrel-vizor.1.gz
  COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/res/nimbrel-vizor.1 > ${CMAKE_BINARY_DIR}/nimbrel-vizor.1.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/res/nimbrel-vizor.1)
add_custom_target(package_manual ALL DEPENDS ${CMAKE_BINARY_DIR}/nimbrel-vizor.1.gz)
install(FILES ${CMAKE_BINARY_DIR}/nimbrel-vizor.1.gz DESTINATION share/man/man1)
# lintian's findings that are not faults, each with its reason.
install(FILES ${CMAKE_SOURCE_DIR}/cmake/debian/lintian-overrides
  DESTINATION share/lintian/overrides RENAME nimbrel-vizor)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME nimbrel-vizor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "webcam program with snapshots and a photo strip")
# The long description; CPack puts the summary above it as the synopsis.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "One window shows the live picture of a USB camera. A button takes a
snapshot and saves it as a numbered JPEG photo in the Pictures folder; a
strip of thumbnails under the picture selects, opens and deletes the
photos. A menu picks the capture resolution and another button opens the
camera's own controls.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Nimbrel Vizor developers <nimbrel@users.noreply.github.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/nimbrel/vizor")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded by name when the capture graph is built: videoconvertscale, appsink
# and videotestsrc (base); ximagesink, the preview's sink on X11 (x); v4l2src
# and videobalance (good); waylandsink, the preview's sink on Wayland (bad).
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "gstreamer1.0-plugins-base (>= 1.22), gstreamer1.0-x (>= 1.22), gstreamer1.0-plugins-good (>= 1.22), gstreamer1.0-plugins-bad (>= 1.22)")
# Cameras served by PipeWire, Wayland sessions, and Qt's own texts (Yes, No,
# the standard dialogs' buttons) in the user's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gstreamer1.0-pipewire, qt6-wayland, qt6-translations-l10n")
include(CPack)
