# The Debian package: cpack -G DEB (or the package target) in a build folder gives
# quorvel_<version>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quorvel maintainers <maintainers@quorvel.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "log-normal probability plots of annual values")
# CPack puts the summary on the first line and indents this text below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Quorvel reads a series of annual values, typically annual precipitation,
plots it on log-normal probability paper with its fitted line and derives
the 1-in-10 and 1-in-100 dry-year and wet-year values. The chart is shown
on screen and printed on one A4 page; a small editor creates data files.
The user interface is Japanese. Pages and results can also be produced
from the command line without a display.")
# The libraries come from dpkg-shlibdeps; the fonts stand in for the Japanese faces the
# windows and the page ask for, and the translations give Qt's own dialogs their Japanese.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-ipafont-mincho, fonts-ipafont-gothic, fonts-ipaexfont-mincho, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
