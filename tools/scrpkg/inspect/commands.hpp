// The inspector's commands, callable in-process: each prints what the command prints and
// returns its exit status.
#pragma once

#include <string>

namespace scrpkg::inspect {

struct ListOptions {
  std::string package;
  bool json = false;
};

struct TestOptions {
  std::string package;
  bool quiet = false;
  bool json = false;  // one JSON document with the verdict instead of the summary line
};

struct ExtractOptions {
  std::string package;
  std::string folder = ".";
  bool quiet = false;
};

int run_list(const ListOptions& options);
int run_test(const TestOptions& options);
int run_extract(const ExtractOptions& options);

}  // namespace scrpkg::inspect
