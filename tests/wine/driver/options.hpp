// The automation driver's command line: the answers to give, where to log, how long to wait,
// and the program to start.
#pragma once

#include <string>
#include <vector>

namespace wine_driver {

struct Options {
  std::vector<int> answers;          // button ids, one per window that has buttons, in order
  std::string log_path;              // JSON Lines copy of the log; empty: standard output only
  unsigned timeout_ms = 120000;      // for the whole run, the started program's children included
  unsigned poll_ms = 5;              // pause between two looks at the windows
  unsigned pause_ms = 0;             // wait before each answer, so that a person can watch
  std::vector<std::string> command;  // the program, then its arguments
};

// Reads `--answer ID`, `--log FILE`, `--timeout SECONDS`, `--poll MS`, `--pause MS`, then the
// program and its arguments (after an optional `--`). False with a message when the line is
// unusable.
bool parse_options(const std::vector<std::string>& args, Options& options, std::string& error);

// One command line from a program and its arguments, quoted so that the C runtime's
// argument splitting gives them back unchanged.
std::string command_line(const std::vector<std::string>& command);

// The usage text.
const char* usage();

}  // namespace wine_driver
