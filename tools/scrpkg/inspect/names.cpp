#include "inspect/names.hpp"

#include "payload/integrity.hpp"
#include "payload/names.hpp"
#include "platform/platform.hpp"

namespace scrpkg::inspect {
namespace {

namespace fs = std::filesystem;

// Why the character may not stand in an installed name; empty when it may.
std::optional<std::string> unsafe_character_reason(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (!payload::unsafe_in_file_name(byte)) return std::nullopt;
  if (c == '\\' || c == '/') return std::string("a path separator");
  if (payload::is_control_character(byte)) return std::string("a control character");
  return std::string("the character '") + c + "'";
}

std::vector<std::string> components(const std::string& relative) {
  std::vector<std::string> parts(1);
  for (char c : relative) {
    if (c == '\\') {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

std::optional<std::string> unsafe_component_reason(const std::string& part) {
  if (part.empty()) return std::string("an empty path component");
  if (part == "." || part == "..") return "a \"" + part + "\" path component";
  for (char c : part) {
    if (auto reason = unsafe_character_reason(c)) return reason;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::vector<std::string>> installed_names(
    const std::string& package_path, std::uint16_t base,
    const std::vector<payload::Entry>& entries) {
  const std::string module_path = fs::path(package_path).filename().string();
  char target[platform::kPathSize];
  payload::InstallNames names{};
  names.windows_dir[0] = '\0';  // paths relative to the Windows directory
  names.target_name = target;
  if (!payload::target_name_of(module_path.c_str(), target, sizeof target) ||
      !payload::installer_base_name(module_path.c_str(), names.base_name, sizeof names.base_name)) {
    return std::nullopt;
  }
  std::vector<std::string> result;
  for (std::uint32_t index = 0; index < entries.size(); ++index) {
    char path[platform::kPathSize];
    if (!payload::target_path(names, index, base, entries[index].extension, path, sizeof path)) {
      return std::nullopt;
    }
    result.emplace_back(path);
  }
  return result;
}

std::optional<std::string> unsafe_name_reason(const std::string& relative) {
  if (!relative.empty() && relative.front() == '\\') return std::string("an absolute path");
  for (const std::string& part : components(relative)) {
    if (auto reason = unsafe_component_reason(part)) return reason;
  }
  return std::nullopt;
}

std::optional<std::string> unsafe_extension_reason(
    const char (&extension)[payload::kExtensionSize]) {
  for (char c : extension) {
    if (c == '\0') break;
    if (auto reason = unsafe_character_reason(c)) return *reason + " in the extension";
  }
  return std::nullopt;
}

std::optional<fs::path> host_path_inside(const fs::path& folder, const std::string& relative) {
  const fs::path root = fs::absolute(folder).lexically_normal();
  fs::path target = root;
  for (const std::string& part : components(relative)) target /= part;
  target = target.lexically_normal();
  const fs::path inside = target.lexically_relative(root);
  if (inside.empty() || inside.is_absolute() || *inside.begin() == ".." || *inside.begin() == ".") {
    return std::nullopt;
  }
  return target;
}

}  // namespace scrpkg::inspect
