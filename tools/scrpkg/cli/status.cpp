#include "cli/status.hpp"

#include <iostream>

#include <CLI/CLI.hpp>

namespace scrpkg {

std::string entry_count(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " entry" : " entries");
}

void print_error(const std::string& message) {
  std::cerr << "scrpkg: " << message << '\n';
}

void fail(int status, const std::string& message) {
  print_error(message);
  finish(status);
}

void finish(int status) {
  std::cout.flush();
  // main() turns this into the process exit status.
  throw CLI::RuntimeError(status);
}

}  // namespace scrpkg
