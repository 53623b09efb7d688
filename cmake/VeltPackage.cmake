# The Debian package: `cpack -G DEB` in the build directory (scripts/package.sh
# makes one from a clean clone). It holds what `cmake --install` puts under
# /usr; its dependencies on shared libraries are computed from the binaries
# (dpkg-shlibdeps), the rest are named below.
set(CPACK_PACKAGE_NAME velt)
set(CPACK_PACKAGE_VENDOR "${VELT_DEVELOPER}")
set(CPACK_PACKAGE_CONTACT "${VELT_DEVELOPER} <velt@example.org>" CACHE STRING "the package's maintainer")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "library catalogue client with its reference server")
set(CPACK_PACKAGE_DESCRIPTION
    "The desktop client of a library catalogue server (windows in Polish): search\n\
and browsing, cataloguing in the server's forms, record links, reports and\n\
catalogue cards, Z39.50 import and the reader services. With velt-cli, the\n\
client's core on the command line, velt-server, a reference catalogue server\n\
on SQLite, and velt-demo, which starts the two together.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The private modules in /usr/lib/velt are loaded by path, not linked.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
# The windows need a display plugin and want Qt's own texts in Polish; the
# guide is opened through xdg-open. velt-demo starts the Z39.50 servers when
# they are there and runs the program under Xvfb where there is no display.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-qpa-plugins, qt6-translations-l10n, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "yaz, idzebra-2.0, idzebra-2.0-examples, xvfb, xauth")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://velt.example.org")
include(CPack)
