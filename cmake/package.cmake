# `cpack -G DEB` in the build folder makes the two Debian packages of what `install` lays out:
# xkv4410 (the desktop program, the CLI and its chart module, the template, the desktop entry, icon,
# metainfo and manual pages) and xkv4410-sim (the simulated instrument), which xkv4410 suggests.
set(XKV_PACKAGE_RELEASE 1)
set(XKV_MAINTAINER "xkv4410 maintainers <maintainers@xkv4410.example>")
set(XKV_HOMEPAGE "https://www.xkv4410.example/")
set(packaging ${PROJECT_SOURCE_DIR}/packaging)

# The Debian changelog's newest entry names the version the packages are built as.
file(STRINGS ${packaging}/changelog newest LIMIT_COUNT 1)
if(NOT newest MATCHES "^xkv4410 \\(${PROJECT_VERSION}-${XKV_PACKAGE_RELEASE}\\) ")
  message(FATAL_ERROR "packaging/changelog starts with '${newest}': add an entry for ${PROJECT_VERSION}-${XKV_PACKAGE_RELEASE}")
endif()
set(changelog_gz ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz)
add_custom_command(OUTPUT ${changelog_gz}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
  COMMAND gzip -9nc ${packaging}/changelog > ${changelog_gz}
  DEPENDS ${packaging}/changelog)
add_custom_target(debian-changelog ALL DEPENDS ${changelog_gz})

foreach(package xkv4410 xkv4410-sim)
  set(doc ${CMAKE_INSTALL_DATADIR}/doc/${package})
  install(FILES ${packaging}/copyright ${changelog_gz} DESTINATION ${doc} COMPONENT ${package})
endforeach()
install(FILES ${packaging}/README.Debian DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/xkv4410 COMPONENT xkv4410)
install(FILES ${packaging}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME xkv4410 COMPONENT xkv4410)
if(XKV_BUILD_GUI)
  install(FILES ${packaging}/example.xkv4410.xkv4410.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
          COMPONENT xkv4410)
endif()

set(CPACK_PACKAGE_NAME xkv4410)
set(CPACK_PACKAGE_VENDOR "The xkv4410 developers")
set(CPACK_PACKAGE_CONTACT "${XKV_MAINTAINER}")
set(CPACK_PACKAGE_INSTALL_DIRECTORY xkv4410)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL xkv4410 xkv4410-sim)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${XKV_PACKAGE_RELEASE})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${XKV_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${XKV_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The run-time libraries (Qt, SQLite, curl, the C++ library) come from what the programs link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)

set(CPACK_DEBIAN_XKV4410_PACKAGE_NAME xkv4410)
set(CPACK_DEBIAN_XKV4410_DESCRIPTION "control and data program for the XKV 4410 alpha/beta counter
Keeps the settings of an XKV 4410 two-channel alpha/beta radiation counter,
downloads them to the instrument over RS-232, measures samples and computes
activities with their uncertainties and minimum detectable activities.
Results are kept in SQLite; the program lists and filters them, writes
numbered text reports and exports spreadsheet files.
.
This package holds the desktop program xkv4410 and its command-line
companion xkv4410-cli.")
# Nothing links what Qt loads at run time: the window system plug-ins (xcb) and the SVG support that
# draws the window icon.
if(XKV_BUILD_GUI)
  set(CPACK_DEBIAN_XKV4410_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
endif()
set(CPACK_DEBIAN_XKV4410_PACKAGE_SUGGESTS xkv4410-sim)

set(CPACK_DEBIAN_XKV4410-SIM_PACKAGE_NAME xkv4410-sim)
set(CPACK_DEBIAN_XKV4410-SIM_PACKAGE_SECTION science)
set(CPACK_DEBIAN_XKV4410-SIM_DESCRIPTION "simulated XKV 4410 counter on a pseudo-terminal
Plays an XKV 4410 two-channel alpha/beta radiation counter on a
pseudo-terminal: it answers the instrument's handshake and commands and
counts from its own clock, with a speed factor, noise and faults on request.
It lets the xkv4410 programs be tried and tested without an instrument.")

set(CPACK_GENERATOR DEB)
include(CPack)
