#include "installer/paths.hpp"

#include <cstring>

#include "payload/names.hpp"

namespace installer {

bool saver_file_name(const char* module_path, PathBuffer& out) {
  if (!payload::copy_text(out, sizeof(out), payload::file_name_of(module_path))) return false;
  char* first_dot = std::strchr(out, '.');
  if (first_dot != nullptr) *first_dot = '\0';
  return payload::append_text(out, sizeof(out), payload::kSaverExtension);
}

bool renamed_installer_name(const char* module_path, PathBuffer& out) {
  return payload::installer_base_name(module_path, out, sizeof(out)) &&
         payload::append_text(out, sizeof(out), ".EXE");
}

bool data_folder_suffix(const char* module_path, PathBuffer& out) {
  PathBuffer base;
  if (!payload::installer_base_name(module_path, base, sizeof(base)) ||
      !payload::copy_text(out, sizeof(out), "\\") ||
      !payload::append_text(out, sizeof(out), base)) {
    out[0] = '\0';
    return false;
  }
  payload::upper_case(out);
  return true;
}

}  // namespace installer
