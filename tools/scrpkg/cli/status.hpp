// Conventions shared by the scrpkg subcommands: exit statuses and how a command fails.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace scrpkg {

constexpr int kExitOk = 0;
constexpr int kExitUsage = 1;    // bad arguments, or an output that could not be written
constexpr int kExitDamaged = 2;  // not a package, or a damaged one

// "1 entry", "2 entries": a count of table entries as the summaries print it.
std::string entry_count(std::size_t count);

// Writes "scrpkg: message" to stderr.
void print_error(const std::string& message);

// A command's failure, thrown by the layer that finds it. Only the command's run function,
// through run_command, prints it and returns its status; nothing ends the process early.
struct Failure {
  int status;           // kExitUsage or kExitDamaged
  std::string message;  // printed as "scrpkg: message"
};

// Runs a command's body: the status it returns, or that of the Failure it threw, with the
// message printed.
int run_command(const std::function<int()>& body);

// Hands a run function's status to main() from the command line parser's callback.
void return_status(int status);

}  // namespace scrpkg
