# Manual pages made at build time from the programs' own --help and
# --version by help2man, with the sections those do not give from
# packaging/*.h2m, compressed as Debian installs them:
#   torvdoc-cli(1):     the tool's help, then each command's help
#   torvdoc(1):         the window's help
#   torvdoc-history(1): the history window's help
find_program(TORVDOC_HELP2MAN help2man)
find_program(TORVDOC_GZIP gzip)
if(NOT TORVDOC_HELP2MAN OR NOT TORVDOC_GZIP)
  message(FATAL_ERROR "help2man and gzip make the manual pages (Debian packages help2man, "
                      "gzip; scripts/setup.sh installs them), or configure with "
                      "-DTORVDOC_BUILD_MANPAGES=OFF")
endif()

set(TORVDOC_MAN_DIR ${PROJECT_BINARY_DIR}/man)
file(MAKE_DIRECTORY ${TORVDOC_MAN_DIR})

# torvdoc_manpage(TARGET SUMMARY [EXTRA_INCLUDE FILE]): the page of the program TARGET,
# its NAME line "TARGET - SUMMARY".
function(torvdoc_manpage target summary)
  cmake_parse_arguments(ARG "" "EXTRA_INCLUDE" "" ${ARGN})
  set(page ${TORVDOC_MAN_DIR}/${target}.1)
  set(include ${PROJECT_SOURCE_DIR}/packaging/${target}.h2m)
  set(includes --include=${include})
  set(depends ${include})
  if(ARG_EXTRA_INCLUDE)
    list(APPEND includes --include=${ARG_EXTRA_INCLUDE})
    list(APPEND depends ${ARG_EXTRA_INCLUDE})
  endif()
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8
            ${TORVDOC_HELP2MAN} --no-info --no-discard-stderr --section=1 --locale=C.UTF-8
            "--name=${summary}" ${includes} --output=${page} $<TARGET_FILE:${target}>
    # -n: no name or time stamp in the file, so that a build is reproducible.
    COMMAND ${TORVDOC_GZIP} -9nf ${page}
    DEPENDS ${target} ${depends}
    COMMENT "Writing the manual page ${target}(1)"
    VERBATIM)
  add_custom_target(${target}-manpage ALL DEPENDS ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()

set(commandsInclude ${TORVDOC_MAN_DIR}/torvdoc-cli-commands.h2m)
add_custom_command(OUTPUT ${commandsInclude}
  COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:torvdoc-cli> -DOUTPUT=${commandsInclude}
          -P ${PROJECT_SOURCE_DIR}/cmake/command_help_h2m.cmake
  DEPENDS torvdoc-cli ${PROJECT_SOURCE_DIR}/cmake/command_help_h2m.cmake
  VERBATIM)
torvdoc_manpage(torvdoc-cli "document the event archive of a TORV-4 alarm device"
                EXTRA_INCLUDE ${commandsInclude})
if(TARGET torvdoc)
  torvdoc_manpage(torvdoc "the window that documents the event archive of a TORV-4 alarm device")
endif()
if(TARGET torvdoc-history)
  torvdoc_manpage(torvdoc-history "the window that shows the history of TORV-4 events")
endif()
