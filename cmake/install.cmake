# Installation layout and the Debian package.
include(GNUInstallDirs)

install(TARGETS torvdoc-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET torvdoc)
  install(TARGETS torvdoc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The menu entry starts the window, so it comes only with the window.
  install(FILES ${PROJECT_SOURCE_DIR}/data/torvdoc.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
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

set(CPACK_PACKAGE_NAME torvdoc)
set(CPACK_PACKAGE_VENDOR "torvdoc developers")
set(CPACK_PACKAGE_CONTACT "torvdoc developers <torvdoc@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Documents the event archive of a TORV-4 alarm device")
set(CPACK_PACKAGE_DESCRIPTION
    "Reads the .dat event archive of a TORV-4 alarm device, shows it block by block, finds a day or one input's events, and prints or saves reports. Keeps every event of successive archive copies in a history store, shown and printed by the window torvdoc-history. Includes the command-line tool torvdoc-cli.")
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
