#include "payload/names.hpp"

#include <cstring>

#include "payload/format.hpp"

namespace payload {

char g_target_name[platform::kPathSize];

namespace {

// Copies `count` characters of text behind the string in buffer.
bool append_span(char* buffer, std::uint32_t size, const char* text, std::uint32_t count) {
  const std::uint32_t used = std::strlen(buffer);
  if (count >= size - used) {
    buffer[0] = '\0';
    return false;
  }
  for (std::uint32_t i = 0; i < count; ++i) buffer[used + i] = text[i];
  buffer[used + count] = '\0';
  return true;
}

// Copies the path's file name up to its first (or last) dot; the whole name without a dot.
bool copy_name_before_dot(const char* path, bool last, char* out, std::uint32_t size) {
  const char* name = file_name_of(path);
  std::uint32_t cut = std::strlen(name);
  for (std::uint32_t i = 0; name[i] != '\0'; ++i) {
    if (name[i] != '.') continue;
    cut = i;
    if (!last) break;
  }
  out[0] = '\0';
  return append_span(out, size, name, cut);
}

// Writes the number in decimal, at least four digits, zero-padded on the left.
void format_file_number(std::uint32_t number, char* out) {
  char digits[11];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + number % 10);
    number /= 10;
  } while (number != 0);
  while (n < 4) digits[n++] = '0';
  int i = 0;
  while (n > 0) out[i++] = digits[--n];
  out[i] = '\0';
}

}  // namespace

const char* file_name_of(const char* path) {
  const char* last = std::strrchr(path, '\\');
  return last != nullptr ? last + 1 : path;
}

bool module_path(platform::Module module, char* out, std::uint32_t size) {
  const std::uint32_t length = platform::module_file_name(module, out, size);
  out[size - 1] = '\0';  // older systems leave a cut path unterminated
  if (length != 0 && length < size) return true;
  out[0] = '\0';  // a cut path names nothing reliably
  return false;
}

void upper_case(char* text) {
  for (; *text != '\0'; ++text) {
    if (*text >= 'a' && *text <= 'z') *text = static_cast<char>(*text - 'a' + 'A');
  }
}

bool copy_text(char* buffer, std::uint32_t size, const char* text) {
  buffer[0] = '\0';
  return append_text(buffer, size, text);
}

bool append_text(char* buffer, std::uint32_t size, const char* text) {
  return append_span(buffer, size, text, std::strlen(text));
}

bool add_separator(char* directory, std::uint32_t size) {
  const std::uint32_t length = std::strlen(directory);
  if (length > 0 && directory[length - 1] == '\\') return true;
  return append_text(directory, size, "\\");
}

bool installer_base_name(const char* module_path, char* out, std::uint32_t size) {
  return copy_name_before_dot(module_path, true, out, size);
}

bool target_name_of(const char* module_path, char* out, std::uint32_t size) {
  if (!copy_name_before_dot(module_path, false, out, size) ||
      !append_text(out, size, kSaverExtension)) {
    return false;
  }
  upper_case(out);
  return true;
}

bool data_folder_level(const InstallNames& names, int level, char* out, std::uint32_t size) {
  const char* const dirs[kDataFolderLevels] = {kVendorFolder, kProductFolder, names.base_name};
  if (!copy_text(out, size, names.windows_dir)) return false;
  for (int i = 0; i <= level && i < kDataFolderLevels; ++i) {
    if ((i > 0 && !append_text(out, size, "\\")) || !append_text(out, size, dirs[i])) return false;
  }
  return true;
}

bool target_path(const InstallNames& names, std::uint32_t index, std::uint16_t base,
                 const char* extension, char* out, std::uint32_t size) {
  if (index == kSaverIndex) {
    if (!copy_text(out, size, names.windows_dir) || !append_text(out, size, names.target_name)) {
      return false;
    }
    upper_case(out);
    return true;
  }
  if (!data_folder(names, out, size) || !append_text(out, size, "\\")) return false;
  if (index == kDataIndex) {
    return append_text(out, size, names.base_name) && append_text(out, size, kDataExtension);
  }
  char number[11];
  format_file_number(index + base - 2, number);
  std::uint32_t extension_length = 0;
  while (extension_length < kExtensionSize && extension[extension_length] != '\0')
    ++extension_length;
  return append_text(out, size, kExtraPrefix) && append_text(out, size, number) &&
         append_span(out, size, extension, extension_length);
}

bool windows_directory_with_separator(char* out, std::uint32_t size) {
  const std::uint32_t length = platform::windows_directory(out, size);
  if (length == 0 || length >= size) {
    out[0] = '\0';
    return false;
  }
  return add_separator(out, size);
}

bool load_install_names(platform::Module module, InstallNames& names) {
  names.target_name = g_target_name[0] != '\0' ? g_target_name : derive_target_name(module);
  char path[platform::kPathSize];
  names.base_name[0] = '\0';
  if (!windows_directory_with_separator(names.windows_dir, sizeof names.windows_dir)) {
    return false;
  }
  return g_target_name[0] != '\0' && module_path(module, path, sizeof path) &&
         installer_base_name(path, names.base_name, sizeof names.base_name);
}

const char* derive_target_name(platform::Module module) {
  char path[platform::kPathSize];
  g_target_name[0] = '\0';
  if (module_path(module, path, sizeof path)) {
    target_name_of(path, g_target_name, sizeof g_target_name);
  }
  return g_target_name;
}

}  // namespace payload
