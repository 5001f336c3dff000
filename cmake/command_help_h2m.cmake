# Writes a help2man include file with a COMMANDS section that holds the
# --help of each command of a program, as the program prints it:
#   cmake -DPROGRAM=path -DOUTPUT=file -P command_help_h2m.cmake
# The commands are the lines of the program's own --help that start with two
# spaces and a lower-case word; "help" is left out.
# UTF-8 text, whatever the locale of the build.
set(ENV{LC_ALL} C.UTF-8)
execute_process(COMMAND "${PROGRAM}" --help OUTPUT_VARIABLE toolHelp RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help failed: ${result}")
endif()
string(REGEX MATCHALL "\n  [a-z]+ " commandLines "${toolHelp}")

# Text for roff, kept line for line: backslashes and dashes escaped, and a
# line that starts with a control character made plain text.
function(roff_text text out)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

set(include "[COMMANDS]\n")
foreach(line IN LISTS commandLines)
  string(STRIP "${line}" command)
  if(command STREQUAL "help")
    continue()
  endif()
  execute_process(COMMAND "${PROGRAM}" ${command} --help OUTPUT_VARIABLE commandHelp
                  RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} ${command} --help failed: ${result}")
  endif()
  roff_text("${commandHelp}" commandHelp)
  string(APPEND include ".SS ${command}\n.nf\n${commandHelp}.fi\n")
endforeach()
file(WRITE "${OUTPUT}" "${include}")
