// Running a program from tests.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/scratch_dir.hpp"

namespace testsupport {

namespace fs = std::filesystem;

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

inline std::string quoted(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

inline std::string file_text(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs `program` with the arguments in the folder `cwd` (the test's own when empty);
// standard input comes from `input` (never a terminal).
inline RunResult run_program(const std::string& program, const std::vector<std::string>& args,
                             const std::string& input = "", const fs::path& cwd = {}) {
  ScratchDir io;
  std::ofstream(io / "in", std::ios::binary) << input;
  std::string command = cwd.empty() ? "" : "cd " + quoted(cwd.string()) + " && ";
  command += quoted(program);
  for (const std::string& a : args) command += " " + quoted(a);
  command += " <" + quoted((io / "in").string()) + " >" + quoted((io / "out").string()) + " 2>" +
             quoted((io / "err").string());
  const int raw = std::system(command.c_str());
  RunResult result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.out = file_text(io / "out");
  result.err = file_text(io / "err");
  return result;
}

}  // namespace testsupport
