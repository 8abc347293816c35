# Writes the manual page OUTPUT for the program SCRPKG with HELP2MAN: the synopsis and
# options from `scrpkg --help`, and a COMMANDS section holding each subcommand's --help.
# Run as a script (cmake -P) with SCRPKG, HELP2MAN, VERSION and OUTPUT set.
execute_process(COMMAND ${SCRPKG} --help OUTPUT_VARIABLE help COMMAND_ERROR_IS_FATAL ANY)
string(REGEX REPLACE ".*\nSubcommands:\n" "" listed "${help}")
string(REGEX MATCHALL "\n?  ([a-z]+) " subcommand_lines "\n${listed}")

set(include_text "[COMMANDS]\n")
foreach(line ${subcommand_lines})
  string(STRIP "${line}" subcommand)
  execute_process(COMMAND ${SCRPKG} ${subcommand} --help OUTPUT_VARIABLE sub_help
                  COMMAND_ERROR_IS_FATAL ANY)
  # Shown as written: roff's escape character and control characters are quoted.
  string(REPLACE "\\" "\\e" sub_help "${sub_help}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" sub_help "${sub_help}")
  string(APPEND include_text ".SS ${subcommand}\n.nf\n${sub_help}.fi\n")
endforeach()
file(WRITE ${OUTPUT}.include "${include_text}")

execute_process(
  COMMAND ${HELP2MAN} --no-info --version-string=${VERSION} --include=${OUTPUT}.include
          "--name=make, inspect and install self-installing screen-saver packages"
          --output=${OUTPUT} ${SCRPKG}
  COMMAND_ERROR_IS_FATAL ANY)
