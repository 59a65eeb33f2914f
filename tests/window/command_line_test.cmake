# SPDX-FileCopyrightText: 2026 The Vombel Chess developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the game's binary (GAME) with --help, -h, --version and wrong arguments, with neither a
# display nor a Qt platform in its environment: each must answer and exit at once, with status 0
# for the first three and 2, usage on standard error, for the others.
unset(ENV{DISPLAY})
unset(ENV{WAYLAND_DISPLAY})
unset(ENV{QT_QPA_PLATFORM})

function(expect args status out_regex err_regex)
  separate_arguments(argv UNIX_COMMAND "${args}")
  execute_process(COMMAND ${GAME} ${argv} RESULT_VARIABLE rc OUTPUT_VARIABLE out
                  ERROR_VARIABLE err TIMEOUT 20)
  if(NOT rc STREQUAL "${status}")
    message(FATAL_ERROR "vombel-chess ${args}: exit status '${rc}', expected ${status}\n${out}${err}")
  endif()
  if(NOT out MATCHES "${out_regex}")
    message(FATAL_ERROR "vombel-chess ${args}: standard output\n${out}\ndoes not match ${out_regex}")
  endif()
  if(NOT err MATCHES "${err_regex}")
    message(FATAL_ERROR "vombel-chess ${args}: standard error\n${err}\ndoes not match ${err_regex}")
  endif()
endfunction()

string(REPLACE "." "\\." version "${VERSION}")
expect("--version" 0 "^Vombel Chess ${version}\n$" "^$")
expect("--help" 0 "^Usage: vombel-chess .*--version.*--use-data-folder.*--threads=N" "^$")
expect("-h" 0 "^Usage: vombel-chess " "^$")
expect("-platform offscreen --help" 0 "^Usage: " "^$")  # Qt's options do not hide ours
expect("--style=Fusion -reverse --version" 0 "^Vombel Chess " "^$")
# A style sheet's file attached with '=' as Qt reads it, or as the next argument.
expect("-stylesheet=game.qss --version" 0 "^Vombel Chess " "^$")
expect("--stylesheet game.qss --version" 0 "^Vombel Chess " "^$")
expect("-reverse=yes" 2 "^$" "unknown option '-reverse=yes'.*Usage: ")  # only those two take '='
expect("--use-data-folder --version" 0 "^Vombel Chess " "^$")
expect("--use-data-folder=here" 2 "^$" "unknown option '--use-data-folder=here'.*Usage: ")  # no value
expect("--threads=3 --threads 1 --version" 0 "^Vombel Chess " "^$")
expect("--threads=65" 2 "^$" "--threads wants a whole number from 1 to 64, not '65'.*Usage: ")
expect("--threads 2x" 2 "^$" "--threads wants a whole number from 1 to 64, not '2x'.*Usage: ")
expect("--threads" 2 "^$" "missing value after '--threads'.*Usage: ")
expect("--bogus" 2 "^$" "unknown option '--bogus'.*Usage: vombel-chess ")
expect("-platform" 2 "^$" "missing value after '-platform'.*Usage: ")
expect("--platform=offscreen" 2 "^$" "unknown option '--platform=offscreen'.*Usage: ")
expect("juego.vmb" 2 "^$" "unexpected argument 'juego.vmb'.*Usage: ")
# What is printed back is escaped: an escape sequence reaches the terminal as text.
string(ASCII 27 escape)
expect("--bogus${escape}[2J" 2 "^$" "unknown option '--bogus\\\\x1b\\[2J'")
