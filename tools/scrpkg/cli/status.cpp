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

int run_command(const std::function<int()>& body) {
  int status = kExitOk;
  try {
    status = body();
  } catch (const Failure& failure) {
    std::cout.flush();  // what the command printed comes before the error
    print_error(failure.message);
    return failure.status;
  }
  std::cout.flush();
  return status;
}

void return_status(int status) {
  if (status != kExitOk) throw CLI::RuntimeError(status);  // main() returns it
}

}  // namespace scrpkg
