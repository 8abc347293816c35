#include "tools/encoder/package_text.hpp"

#include "payload/cp1252.hpp"
#include "payload/format.hpp"
#include "payload/integrity.hpp"
#include "tools/encoder/package_error.hpp"

namespace packer {

std::string utf8_to_cp1252(const std::string& utf8, const std::string& what) {
  std::string out;
  for (std::size_t at = 0; at < utf8.size();) {
    const std::int32_t cp = payload::next_utf8_code_point(utf8.data(), utf8.size(), at);
    if (cp < 0) throw PackError(what + " is not valid UTF-8");
    const int byte = payload::cp1252_byte(static_cast<std::uint32_t>(cp));
    if (byte < 0) throw PackError(what + " has a character that Windows-1252 cannot represent");
    out.push_back(static_cast<char>(byte));
  }
  return out;
}

std::string display_name(const std::string& utf8) {
  const std::string name = utf8_to_cp1252(utf8, "display name \"" + utf8 + "\"");
  if (name.size() > payload::kNameSize) {
    throw PackError("display name \"" + utf8 + "\" is longer than " +
                    std::to_string(payload::kNameSize) + " bytes");
  }
  for (char c : name) {
    if (payload::is_control_character(static_cast<unsigned char>(c)))
      throw PackError("display name holds a control character");
  }
  return name;
}

std::string file_name(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string name_without_extension(const std::string& path) {
  const std::string name = file_name(path);
  return name.substr(0, name.find_last_of('.'));
}

std::string extension_field(const std::string& path) {
  const std::string name = file_name(path);
  const std::size_t dot = name.find_last_of('.');
  if (dot == std::string::npos) return {};
  const std::string extension = utf8_to_cp1252(name.substr(dot), "extension of " + name);
  if (extension.size() > payload::kExtensionSize) {
    throw PackError("extension of " + name + " is longer than " +
                    std::to_string(payload::kExtensionSize) + " characters with its dot");
  }
  // The checker's rule, which it applies to the extra files; the first two entries' are
  // never used in a name, but no reason to write one the checker would call damaged.
  for (char c : extension) {
    if (payload::unsafe_in_file_name(static_cast<unsigned char>(c)))
      throw PackError("extension of " + name + " holds a character no file name may carry");
  }
  return extension;
}

}  // namespace packer
