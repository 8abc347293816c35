// Windows paths onto host paths, by the drives that platform/posix/sandbox.hpp lists.
#include "platform/posix/state.hpp"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <vector>

namespace platform::posix {

namespace {

namespace fs = std::filesystem;

// The host folder standing for the Windows directory: absolute, no trailing separator.
fs::path windows_dir_host() {
  const std::string& configured = detail::state().config.machine.windows_dir_host;
  if (configured.empty()) return {};
  std::error_code ignored;
  fs::path folder = fs::absolute(configured, ignored).lexically_normal();
  if (!folder.has_filename()) folder = folder.parent_path();
  return folder;
}

// The host folder a drive letter stands for, or empty for an unknown drive.
std::string drive_root(char letter) {
  if (letter == 'c' || letter == 'C') {
    const fs::path folder = windows_dir_host();
    return folder.empty() ? std::string() : folder.parent_path().string();
  }
  if (letter == 'z' || letter == 'Z') return "/";
  return {};
}

// Adds one component to the list, resolving "." and ".." lexically. False when ".."
// would climb above the drive root.
bool push_component(const std::string& name, std::vector<std::string>& components) {
  if (name == "..") {
    if (components.empty()) return false;
    components.pop_back();
  } else if (!name.empty() && name != ".") {
    components.push_back(name);
  }
  return true;
}

// Splits the part after the drive into components; false when it leaves the drive root.
bool split_components(const std::string& rest, std::vector<std::string>& components) {
  std::string current;
  for (char c : rest) {
    if (c != '\\' && c != '/') {
      current += c;
      continue;
    }
    if (!push_component(current, components)) return false;
    current.clear();
  }
  return push_component(current, components);
}

std::string joined(const std::string& folder, const std::string& name) {
  return folder == "/" ? "/" + name : folder + "/" + name;
}

// The entry of `folder` whose name matches `name` ignoring case: the exact name first,
// otherwise the first match in name order, otherwise `name` itself as given.
std::string resolve_entry(const std::string& folder, const std::string& name) {
  struct stat info;
  if (::stat(joined(folder, name).c_str(), &info) == 0) return name;
  DIR* directory = ::opendir(folder.c_str());
  if (directory == nullptr) return name;
  std::vector<std::string> matches;
  while (const dirent* entry = ::readdir(directory)) {
    if (detail::same_text_ignoring_case(entry->d_name, name)) matches.push_back(entry->d_name);
  }
  ::closedir(directory);
  if (matches.empty()) return name;
  return *std::min_element(matches.begin(), matches.end());
}

}  // namespace

std::string host_path(const std::string& windows_path) {
  if (!windows_path.empty() && windows_path[0] == '/') return windows_path;
  // Only drive-qualified paths are known; a relative path has no current directory here.
  // "C:name" counts from the drive root, the current directory of every drive.
  if (windows_path.size() < 2 || windows_path[1] != ':') return {};
  const std::string root = drive_root(windows_path[0]);
  return root.empty() ? std::string() : host_path_in(root, windows_path.substr(2));
}

std::string host_path_in(const std::string& folder, const std::string& relative) {
  std::vector<std::string> components;
  if (!split_components(relative, components)) return {};
  std::string path = folder;
  for (const std::string& name : components) path = joined(path, resolve_entry(path, name));
  return path;
}

std::string module_windows_path() {
  const std::string& configured = detail::state().config.machine.module_host_path;
  if (configured.empty()) return {};
  std::error_code ignored;
  std::string path = "Z:" + fs::absolute(configured, ignored).lexically_normal().string();
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

std::string windows_directory_path() {
  const fs::path folder = windows_dir_host();
  if (folder.empty()) return {};
  return "C:\\" + folder.filename().string();
}

}  // namespace platform::posix
