// Running the scrpkg program from tests, and the scratch folders they work in.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "tests/support/pe_builder.hpp"
#include "tests/support/process_run.hpp"

namespace scrpkg_test {

namespace fs = std::filesystem;

using testsupport::file_text;
using testsupport::quoted;
using testsupport::RunResult;
using testsupport::ScratchDir;

// Runs scrpkg with the arguments in the folder `cwd` (the test's own when empty); standard
// input comes from `input` (never a terminal).
inline RunResult run_scrpkg(const std::vector<std::string>& args, const std::string& input = "",
                            const fs::path& cwd = {}) {
  return testsupport::run_program(SCRPKG_EXE, args, input, cwd);
}

// Every regular file under the folder, as paths relative to it with forward slashes.
inline std::set<std::string> files_under(const fs::path& folder) {
  std::set<std::string> found;
  if (!fs::exists(folder)) return found;
  for (const auto& item : fs::recursive_directory_iterator(folder)) {
    if (!item.is_directory()) found.insert(item.path().lexically_relative(folder).generic_string());
  }
  return found;
}

// Bytes that compress somewhat: runs of text with a varying counter.
inline testsupport::Bytes sample_bytes(std::size_t size, unsigned seed) {
  testsupport::Bytes bytes;
  const std::string words = "screen saver aurora lumivane ";
  for (std::size_t i = 0; bytes.size() < size; ++i) {
    const char c =
        (i + seed) % 7 == 0 ? static_cast<char>('A' + (i * seed) % 26) : words[i % words.size()];
    bytes.push_back(static_cast<std::uint8_t>(c));
  }
  return bytes;
}

}  // namespace scrpkg_test
