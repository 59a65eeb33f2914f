# SPDX-FileCopyrightText: 2026 The Vombel Chess developers
# SPDX-License-Identifier: GPL-3.0-or-later
# `cpack -G DEB` in the build tree: a Debian package of what `cmake --install` installs (the game,
# its desktop entry, metainfo, icons and manual page) under /usr. The library dependencies are
# read from the binary by dpkg-shlibdeps (package dpkg-dev); CPack needs `file` for that too.
set(CPACK_PACKAGE_NAME vombel-chess)
set(CPACK_PACKAGE_VENDOR "The Vombel Chess developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "chess game against the computer")
set(CPACK_PACKAGE_CONTACT "Vombel Chess maintainers <maintainers@vombel.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # vombel-chess_2.0_amd64.deb
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beyond the libraries: Qt's X11 and Wayland platform plugins, without which the window cannot
# open, and the fonts the fixed layout is measured with (DejaVu Sans, condensed where available).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-extra")
set(CPACK_PACKAGE_DESCRIPTION "Vombel Chess is a single-window chess game: you play White against
the computer, which answers each move at once after a fixed-depth search, six
half-moves deep at level Difficult or four at Easy. The scroll bar steps back
through the game to take moves back; a position can be set up by hand, and the
game saved and opened again.")

# The same sources make the same package, byte for byte, with no variable set by hand: every time
# stamp in it (the archive members' and the files') is SOURCE_DATE_EPOCH, which cpack reads from
# its environment. cmake/package_date.cmake sets it when cpack runs, unless it is set already, to
# the date of the changelog's latest entry, as Debian's package builds do; read then, the date
# follows the changelog without a new configure.
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/package_date.cmake)
set(CPACK_VOMBEL_CHANGELOG ${PROJECT_SOURCE_DIR}/cmake/debian/changelog)

include(CPack)
