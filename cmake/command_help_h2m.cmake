# Writes a help2man include file with a COMMANDS section that holds the
# --help of each command of a program, as the program prints it:
#   cmake -DPROGRAM=path -DOUTPUT=file -P command_help_h2m.cmake
# The commands are the lines of the program's own --help that start with two
# spaces and a lower-case word ("help" left out). A word whose own help lists
# commands the same way is a group ("history"): its help comes first, then
# the help of each of its commands ("history names set").

# UTF-8 text, whatever the locale of the build.
set(ENV{LC_ALL} C.UTF-8)

function(help_of words out)
  execute_process(COMMAND "${PROGRAM}" ${words} --help OUTPUT_VARIABLE text
                  RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} ${words} --help failed: ${result}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The commands a help lists: the lower-case words of each line that starts
# with two spaces, up to an upper-case argument or the summary.
function(commands_in text out)
  string(REGEX MATCHALL "\n  [a-z][a-z-]*( [a-z][a-z-]*)*( [A-Z][A-Z.]*)?  " lines "${text}")
  set(commands "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^\n  ([a-z][a-z -]*[a-z]).*" "\\1" command "${line}")
    string(REGEX REPLACE " [A-Z].*" "" command "${command}")
    list(APPEND commands "${command}")
  endforeach()
  set(${out} "${commands}" PARENT_SCOPE)
endfunction()

# Text for roff, kept line for line: backslashes and dashes escaped, and a
# line that starts with a control character made plain text.
function(roff_text text out)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(section name text out)
  roff_text("${text}" text)
  set(${out} ".SS ${name}\n.nf\n${text}.fi\n" PARENT_SCOPE)
endfunction()

help_of("" toolHelp)
commands_in("${toolHelp}" topCommands)
set(include "[COMMANDS]\n")
foreach(command IN LISTS topCommands)
  if(command STREQUAL "help")
    continue()
  endif()
  help_of("${command}" commandHelp)
  section("${command}" "${commandHelp}" text)
  string(APPEND include "${text}")
  commands_in("${commandHelp}" groupCommands)
  foreach(groupCommand IN LISTS groupCommands)
    string(REPLACE " " ";" words "${command} ${groupCommand}")
    help_of("${words}" groupCommandHelp)
    section("${command} ${groupCommand}" "${groupCommandHelp}" text)
    string(APPEND include "${text}")
  endforeach()
endforeach()
file(WRITE "${OUTPUT}" "${include}")
