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
    root_ = parent() / (kPrefix + std::to_string(::getpid()));
    std::error_code error;
    fs::remove_all(root_, error);
    if (!fs::create_directories(root_, error)) broken("scratch folder", root_.string());
    std::atexit([] {
      std::error_code ignored;
      fs::remove_all(instance().root_, ignored);
    });
  }

  // In memory where the system offers it: on a disk, making and removing each input's
  // files took most of the run time.
  static fs::path parent() {
    std::error_code ignored;
    return fs::is_directory("/dev/shm", ignored) ? fs::path("/dev/shm") : fs::temp_directory_path();
  }

  static void remove_abandoned() {
    std::error_code ignored;
    for (const auto& item : fs::directory_iterator(parent(), ignored)) {
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

// In one read: byte by byte, the comparisons after each input cost more than the input.
inline std::vector<std::uint8_t> read_bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  std::vector<std::uint8_t> bytes(in ? static_cast<std::size_t>(in.tellg()) : 0);
  in.seekg(0);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

// Whether `path` lies strictly inside `folder`; both spelled from the same root.
inline bool strictly_inside(const std::string& path, const std::string& folder) {
  return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
         path[folder.size()] == '/';
}

// Every file or folder under `root` that is neither inside `allowed_folder` nor one of
// `allowed_files`, as paths relative to `root`. Plain string prefixes: path arithmetic on
// every entry cost more than the install it checks.
inline std::vector<std::string> written_outside(const fs::path& root,
                                                const fs::path& allowed_folder,
                                                const std::set<fs::path>& allowed_files) {
  const std::string folder = allowed_folder.string();
  std::vector<std::string> outside;
  std::error_code ignored;
  for (auto it = fs::recursive_directory_iterator(root, ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    const std::string path = it->path().string();
    // The folders leading to an allowed file or to the allowed folder are fine too.
    bool allowed = path == folder || strictly_inside(path, folder) || strictly_inside(folder, path);
    for (const fs::path& file : allowed_files) {
      allowed = allowed || path == file.string() || strictly_inside(file.string(), path);
    }
    if (!allowed) outside.push_back(it->path().lexically_relative(root).string());
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
