# Installation layout and the Debian package.
include(GNUInstallDirs)

set(TORVDOC_MAINTAINER "torvdoc developers <torvdoc@users.noreply.github.com>")
set(TORVDOC_PACKAGE_RELEASE 1)
set(TORVDOC_PACKAGE_VERSION ${PROJECT_VERSION}-${TORVDOC_PACKAGE_RELEASE})
set(TORVDOC_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/torvdoc)

install(TARGETS torvdoc-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The user service that imports the copies dropped into folders, and an
# example of the settings it reads.
configure_file(${PROJECT_SOURCE_DIR}/data/torvdoc-history-watch.service.in
               ${PROJECT_BINARY_DIR}/torvdoc-history-watch.service @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/torvdoc-history-watch.service
        DESTINATION lib/systemd/user)
install(FILES ${PROJECT_SOURCE_DIR}/data/watch.conf.example DESTINATION ${TORVDOC_DOC_DIR})
# bash-completion loads a command's completion on first use from this folder.
install(FILES ${PROJECT_SOURCE_DIR}/data/torvdoc-cli.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME torvdoc-cli)
if(TARGET torvdoc)
  install(TARGETS torvdoc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The menu entry and the software centres' description start the window,
  # so they come only with the window.
  install(FILES ${PROJECT_SOURCE_DIR}/data/torvdoc.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/data/io.github.torvdoc.torvdoc.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  # Qt draws an SVG icon through the plugin in libqt6svg6, which the
  # binaries do not link and shlibdeps therefore cannot see.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS libqt6svg6)
  # The window opens a saved report on the desktop through xdg-open, and Qt's
  # own texts in the window (file and print dialogs, Yes and No, the calendar)
  # come from Qt's Russian translation, a data file no binary links; the
  # libraries the binaries link are added to this by shlibdeps.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils, qt6-translations-l10n")
endif()
if(TARGET torvdoc-history)
  install(TARGETS torvdoc-history RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/data/torvdoc-history.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/data/torvdoc-history.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/data/torvdoc.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/samples/full.dat ${PROJECT_SOURCE_DIR}/samples/partial.dat
        DESTINATION ${CMAKE_INSTALL_DATADIR}/torvdoc/samples)

# The copyright file in Debian's machine-readable format, with the licence
# text of LICENSE (from "Permission" on: the title and the copyright line
# have fields of their own): each line indented by one space, an empty line
# as " .".
file(READ ${PROJECT_SOURCE_DIR}/LICENSE licenseText)
string(FIND "${licenseText}" "Permission is hereby granted" licenseStart)
string(SUBSTRING "${licenseText}" ${licenseStart} -1 licenseText)
string(STRIP "${licenseText}" licenseText)
string(REGEX REPLACE "\n\n" "\n.\n" licenseText "${licenseText}")
string(REGEX REPLACE "\n" "\n " TORVDOC_LICENSE_TEXT " ${licenseText}")
configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in ${PROJECT_BINARY_DIR}/copyright @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/copyright DESTINATION ${TORVDOC_DOC_DIR})

# The package's changelog, compressed as Debian installs it.
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog ${PROJECT_BINARY_DIR}/changelog.Debian
               @ONLY)
find_program(TORVDOC_GZIP gzip REQUIRED)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/changelog.Debian.gz
  COMMAND ${TORVDOC_GZIP} -9nkf ${PROJECT_BINARY_DIR}/changelog.Debian
  DEPENDS ${PROJECT_BINARY_DIR}/changelog.Debian
  VERBATIM)
add_custom_target(torvdoc-changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/changelog.Debian.gz)
install(FILES ${PROJECT_BINARY_DIR}/changelog.Debian.gz DESTINATION ${TORVDOC_DOC_DIR})

# What lintian reports that does not apply, each with its reason.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME torvdoc)

if(TORVDOC_BUILD_MANPAGES)
  include(cmake/manpages.cmake)
endif()

set(CPACK_PACKAGE_NAME torvdoc)
set(CPACK_PACKAGE_VENDOR "torvdoc developers")
set(CPACK_PACKAGE_CONTACT "${TORVDOC_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TORVDOC_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_RELEASE ${TORVDOC_PACKAGE_RELEASE})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "documents the event archive of a TORV-4 alarm device")
# Lines within 80 columns once dpkg indents them by one space.
set(CPACK_PACKAGE_DESCRIPTION
    "torvdoc reads the .dat event archive of a TORV-4 alarm device (a ring of
1024 events and a write offset), shows it sixteen events at a time, finds a
day or the events of one input, and prints or saves reports of what it shows
or of the whole archive. The archive is only read, never written.

A history store keeps every event of successive archive copies, once and in
order; the window torvdoc-history shows and prints it. The command-line tool
torvdoc-cli gives the same views and reports as text, CSV, JSON or RTF,
summarises archives, writes demo archives, and imports and lists histories.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY torvdoc)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# Dependencies are computed from the binaries, so the package pulls in
# exactly the Qt libraries the window links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
include(CPack)
