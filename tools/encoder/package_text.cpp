#include "tools/encoder/package_text.hpp"

#include "payload/cp1252.hpp"
#include "payload/format.hpp"
#include "payload/integrity.hpp"
#include "tools/encoder/package_error.hpp"

namespace packer {
namespace {

// Decodes the code point at `at`, moving past it; -1 for a malformed sequence.
long next_code_point(const std::string& s, std::size_t& at) {
  const unsigned char lead = static_cast<unsigned char>(s[at++]);
  if (lead < 0x80) return lead;
  int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
  if (extra < 0 || lead < 0xC2 || lead > 0xF4) return -1;
  long cp = lead & (0x3F >> extra);
  for (; extra > 0; --extra, ++at) {
    if (at >= s.size()) return -1;
    const unsigned char c = static_cast<unsigned char>(s[at]);
    if ((c & 0xC0) != 0x80) return -1;
    cp = (cp << 6) | (c & 0x3F);
  }
  return cp;
}

}  // namespace

std::string utf8_to_cp1252(const std::string& utf8, const std::string& what) {
  std::string out;
  for (std::size_t at = 0; at < utf8.size();) {
    const long cp = next_code_point(utf8, at);
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
