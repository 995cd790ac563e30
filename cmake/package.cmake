# `make package`: a Debian package of what `cmake --install` installs, made by CPack. Its
# dependencies are found from the shared libraries the programs link (dpkg-shlibdeps), plus what
# they need at run time without linking it.
set(QUOLL_PACKAGE_MAINTAINER "Quoll maintainers <maintainers@users.noreply.c-seed-2b16e962.example>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quoll)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${QUOLL_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "workbench for smart-card scripts")
# Lines of the long description as the control file shows them: at most 80 columns.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Quoll is a desktop workbench for smart-card developers and testers.\n"
  "Scripts in a small Object-Pascal dialect send command APDUs to cards\n"
  "through the PC/SC service, read the responses, and compute DES and\n"
  "triple-DES cryptograms and MACs. The workbench edits, runs and debugs\n"
  "scripts, with breakpoints, single steps and a watch window.\n"
  "\n"
  "The package holds the workbench quoll, the console runner quoll-run and the\n"
  "virtual card quoll-vcard, which answers for pcscd's vpcd reader driver\n"
  "when no card reader is at hand.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_NAME quoll)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # quoll_VERSION_ARCH.deb
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The PC/SC library is loaded by name at start-up, not linked, so dpkg-shlibdeps cannot see it;
# the workbench needs Qt's platform plugins (xcb) to open a window.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "pcscd, libpcsclite1, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "vsmartcard-vpcd")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)

include(CPack)
