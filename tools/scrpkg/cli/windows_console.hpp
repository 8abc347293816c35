// What scrpkg.exe sets up before parsing its command line on Windows.
#pragma once

namespace scrpkg {

// Replaces argv with the command line's arguments in UTF-8 (Windows hands them over in the
// ANSI code page) and switches the console's output to UTF-8, so that a package's texts,
// turned into UTF-8 as on Linux, show correctly there and pass to a pipe unchanged. The
// new strings live until the process ends.
void use_utf8_arguments_and_console(int& argc, char**& argv);

}  // namespace scrpkg
