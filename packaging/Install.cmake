# What `cmake --install` puts where, the manual pages, and the Debian package (`cpack -G DEB`).
include(GNUInstallDirs)

install(TARGETS qrx5 qrx5-cli qrx5-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
install(FILES ${PACKAGING_DIR}/qrx5.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PACKAGING_DIR}/icons/qrx5.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 48 128 256)
  install(FILES ${PACKAGING_DIR}/icons/${size}x${size}/qrx5.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${PACKAGING_DIR}/README.Debian DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The manual pages are made from each program's own --help text at build time, so they list
# exactly the options the programs take.
find_program(HELP2MAN help2man)
if(HELP2MAN)
  set(MANPAGE_NAMES
      "qrx5|set up and drive a slider controller over RS-232 (window program)"
      "qrx5-cli|back up, verify, restore and compare slider controllers' tables without a window"
      "qrx5-sim|virtual slider controller on a pseudo-terminal")
  set(MANPAGES)
  foreach(entry IN LISTS MANPAGE_NAMES)
    string(REPLACE "|" ";" entry "${entry}")
    list(GET entry 0 program)
    list(GET entry 1 what)
    set(page ${CMAKE_BINARY_DIR}/man/${program}.1.gz)
    add_custom_command(
      OUTPUT ${page}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
      COMMAND ${PACKAGING_DIR}/man/make-manpage.sh $<TARGET_FILE:${program}> ${what}
              ${PACKAGING_DIR}/man/see-also.h2m ${page}
      DEPENDS ${program} ${PACKAGING_DIR}/man/make-manpage.sh
              ${PACKAGING_DIR}/man/see-also.h2m
      COMMENT "Manual page ${program}(1)"
      VERBATIM)
    list(APPEND MANPAGES ${page})
  endforeach()
  add_custom_target(manpages ALL DEPENDS ${MANPAGES})
  install(FILES ${MANPAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(WARNING "help2man not found: no manual pages are made or installed "
                  "(tools/install-deps.sh installs it).")
endif()

# The Debian package. Its library dependencies are found by dpkg-shlibdeps from the programs
# themselves; only what the programs load at run time, which no tool can see, is named here.
set(QRX5_PACKAGE_MAINTAINER "QRX5 Support Software maintainers <maintainers@qrx5.invalid>"
    CACHE STRING "Maintainer field of the Debian package (name <address>)")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qrx5)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "QRX5 Support Software")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "QRX5 Support Software: set up and drive slider controllers over RS-232")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "The PC program with which an operator, connected to one small electric slider controller
over an RS-232 line, reads, edits, compares, initialises, saves, prints and writes back the
controller's settings and moves the actuator by hand. Point-input and pulse-train
controllers each have their own window.

The package holds the window program qrx5, the command line qrx5-cli (back up, verify and
restore a controller without a display) and qrx5-sim, a virtual controller on a
pseudo-terminal for trying both without a controller.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QRX5_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's platform plugins are loaded when the window program starts: without them it cannot
# open a window. The Japanese captions of the pulse-train window need a CJK font.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-ipafont-gothic")
set(CPACK_STRIP_FILES ON)
include(CPack)
