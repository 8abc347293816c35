// What every fuzz target shares: a scratch folder for the files an input becomes, checks
// that end the run as a crash (so libFuzzer keeps the input), and the invariants on what
// was written.
#pragma once

#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace fuzz {

namespace fs = std::filesystem;

// Prints the broken invariant and aborts, which libFuzzer reports as a crash.
[[noreturn]] inline void broken(const char* invariant, const std::string& detail) {
  std::fprintf(stderr, "fuzz invariant broken: %s: %s\n", invariant, detail.c_str());
  std::abort();
}

#define FUZZ_REQUIRE(condition, detail)                     \
  do {                                                      \
    if (!(condition)) ::fuzz::broken(#condition, (detail)); \
  } while (0)

// One temporary folder per process, emptied before every input. libFuzzer may end the
// process without running exit handlers, so each start also removes the folders of
// processes that are gone.
class Scratch {
 public:
  static Scratch& instance() {
    static Scratch scratch;
    return scratch;
  }

  // Empties the folder and returns it.
  const fs::path& fresh() {
    std::error_code ignored;
    for (const auto& item : fs::directory_iterator(root_, ignored)) fs::remove_all(item, ignored);
    return root_;
  }

 private:
  static constexpr const char* kPrefix = "scrpkg-fuzz-";

  Scratch() {
    remove_abandoned();
    root_ = fs::temp_directory_path() / (kPrefix + std::to_string(::getpid()));
    std::error_code error;
    fs::remove_all(root_, error);
    if (!fs::create_directories(root_, error)) broken("scratch folder", root_.string());
    std::atexit([] {
      std::error_code ignored;
      fs::remove_all(instance().root_, ignored);
    });
  }

  static void remove_abandoned() {
    std::error_code ignored;
    for (const auto& item : fs::directory_iterator(fs::temp_directory_path(), ignored)) {
      const std::string name = item.path().filename().string();
      if (name.rfind(kPrefix, 0) != 0) continue;
      const std::string pid = name.substr(std::string(kPrefix).size());
      if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) continue;
      if (::kill(static_cast<pid_t>(std::stol(pid)), 0) != 0 && errno == ESRCH) {
        fs::remove_all(item.path(), ignored);
      }
    }
  }

  fs::path root_;
};

inline void write_bytes(const fs::path& path, const std::uint8_t* data, std::size_t size) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  if (!out) broken("write_bytes", path.string());
}

inline std::vector<std::uint8_t> read_bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>());
}

// Every file or folder under `root` that is neither inside `allowed_folder` nor one of
// `allowed_files`, as paths relative to `root`.
inline std::vector<std::string> written_outside(const fs::path& root,
                                                const fs::path& allowed_folder,
                                                const std::set<fs::path>& allowed_files) {
  std::vector<std::string> outside;
  std::error_code ignored;
  for (auto it = fs::recursive_directory_iterator(root, ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    const fs::path path = it->path();
    if (allowed_files.count(path) != 0) continue;
    const fs::path inside = path.lexically_relative(allowed_folder);
    const bool in_folder = !inside.empty() && *inside.begin() != "..";
    // The folders leading to an allowed file or to the allowed folder are fine too.
    const bool on_the_way = !allowed_folder.lexically_relative(path).empty() &&
                            *allowed_folder.lexically_relative(path).begin() != "..";
    bool leads_to_file = false;
    for (const fs::path& file : allowed_files) {
      const fs::path rest = file.lexically_relative(path);
      leads_to_file = leads_to_file || (!rest.empty() && *rest.begin() != "..");
    }
    if (!in_folder && !on_the_way && !leads_to_file) {
      outside.push_back(path.lexically_relative(root).string());
    }
  }
  return outside;
}

// Open file descriptors of this process; a reader that forgets a handle shows here.
inline int open_descriptors() {
  int count = 0;
  if (DIR* folder = ::opendir("/proc/self/fd")) {
    while (::readdir(folder) != nullptr) ++count;
    ::closedir(folder);
  }
  return count;
}

inline std::uint32_t le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace fuzz
