# The Debian package, built by scripts/package (cpack -G DEB).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvanta)
set(CPACK_PACKAGE_VENDOR DRAL)
set(CORVANTA_MAINTAINER "DRAL <corvanta@dral.hu>" CACHE STRING "The package's maintainer")
set(CPACK_PACKAGE_CONTACT ${CORVANTA_MAINTAINER})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_HOMEPAGE_URL ${CORVANTA_HOMEPAGE})
set(CPACK_STRIP_FILES ON)

# The summary, then the long description; CPack indents its lines and marks
# the blank ones between paragraphs as dpkg wants.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "installer's tool for the GSM-Corvanta alarm module")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[Reads the GSM-Corvanta alarm module's parameter memory, edits it (zones,
users, event reporting, relays, remote controls, telephone settings, keypad),
writes it back and keeps it in parameter files. Services the module: live
status, event lists, clock, radio remote teaching, alarm stop, arming, version
query and firmware update, over a serial line, a Hayes modem call or the
module's encrypted TCP/IP link.

corvanta is the desktop program, corvanta-cli does the same from a shell and
corvanta-sim simulates a module for trying both without hardware.

Serial ports belong to the dialout group: a user who connects to a module
through one must be a member of it (sudo usermod -aG dialout USER, then log
in again).]=])
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Libraries from what the binaries link; the Hungarian texts of Qt's own
# buttons are data that no binary links, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-translations-l10n)

include(CPack)
