// Conventions shared by the scrpkg subcommands: exit statuses and error reporting.
#pragma once

#include <cstddef>
#include <string>

namespace scrpkg {

constexpr int kExitOk = 0;
constexpr int kExitUsage = 1;    // bad arguments, or an output that could not be written
constexpr int kExitDamaged = 2;  // not a package, or a damaged one

// "1 entry", "2 entries": a count of table entries as the summaries print it.
std::string entry_count(std::size_t count);

// Writes "scrpkg: message" to stderr.
void print_error(const std::string& message);

// Prints the message and ends the running subcommand with the status.
[[noreturn]] void fail(int status, const std::string& message);

// Ends the running subcommand with the status, printing nothing.
[[noreturn]] void finish(int status);

}  // namespace scrpkg
