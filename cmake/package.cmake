# `cpack -G DEB` in the build folder makes the Debian package of what `install` lays out: the three
# programs, the desktop entry, the icon and the default report template.
set(CPACK_PACKAGE_NAME xkv4410)
set(CPACK_PACKAGE_VENDOR "xkv4410")
set(CPACK_PACKAGE_CONTACT "xkv4410 maintainers <xkv4410@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Control and data program for the XKV 4410 alpha/beta counter")
set(CPACK_PACKAGE_DESCRIPTION
  "Keeps the instrument's settings, downloads them over RS-232, measures samples, computes activities, uncertainties and MDAs, stores results in SQLite and writes reports and spreadsheets. Includes the command-line companion xkv4410-cli and the instrument simulator xkv4410-sim.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY xkv4410)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The run-time libraries (Qt, SQLite, curl, the C++ library) come from what the programs link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
# The Qt platform plug-ins are loaded at run time, so nothing links them: the desktop needs xcb.
if(XKV_BUILD_GUI)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
endif()
set(CPACK_GENERATOR DEB)
include(CPack)
