# The Debian package: `cpack -G DEB` in a release build folder (see README, "Install as
# a package"). Programs and data files go to /usr/lib/kestrel with links in /usr/bin;
# the desktop entry, AppStream metadata, icons and manual pages to /usr/share.
# KESTREL_PACKAGE_MAINTAINER comes from resources/package/news.cmake (the changelog names it too).

set(CPACK_PACKAGE_NAME kestrel)
set(CPACK_PACKAGE_VENDOR Varnel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "programming software for hand-held FM two-way radios")
# CPack puts the summary above this text.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Kestrel reads the configuration memory of a family of hand-held FM two-way
radios (136-174, 400-470 and 340-400 MHz) over a serial programming cable,
edits channels, tones, options, keys, DTMF and identification texts in
English or Chinese, writes it back and keeps it as a .dat file.
.
The package holds the GUI program kestrel, the command line kestrel-cli and
the virtual radio kestrel-radio-sim. Using the programming cable needs
membership of the dialout group.")
set(CPACK_PACKAGE_CONTACT "${KESTREL_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KESTREL_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own texts in Chinese, and a font with Simplified Chinese glyphs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-noto-cjk")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
# A package is made from a build without sanitizers only.
if(KESTREL_SANITIZE)
  set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/refuse-package.cmake)
endif()
include(CPack)
