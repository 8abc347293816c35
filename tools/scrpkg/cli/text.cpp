#include "cli/text.hpp"

#include <cstdint>
#include <cstdio>
#include "payload/cp1252.hpp"

namespace scrpkg {
namespace {

std::uint32_t code_point(unsigned char byte) {
  if (byte < 0x80 || byte > 0x9F) return byte;
  std::uint16_t mapped = payload::kCp1252HighControls[byte - 0x80];
  return mapped != 0 ? mapped : byte;
}

void append_utf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::string cp1252_to_utf8(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size() * 2);
  for (char c : ansi) append_utf8(out, code_point(static_cast<unsigned char>(c)));
  return out;
}

std::string escaped_controls(std::string_view utf8) {
  std::string out;
  char escape[8];
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    const auto next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0u;
    if (c < 0x20 || c == 0x7F) {
      std::snprintf(escape, sizeof escape, "\\x%02X", c);
    } else if (c == 0xC2 && next >= 0x80 && next <= 0x9F) {
      std::snprintf(escape, sizeof escape, "\\u%04X", next);
      ++i;
    } else {
      out += static_cast<char>(c);
      continue;
    }
    out += escape;
  }
  return out;
}

std::string without_trailing_blanks(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 && text[end - 1] == ' ') --end;
  return std::string(text.substr(0, end));
}

std::string fixed_field(const char* field, std::size_t size) {
  std::size_t length = 0;
  while (length < size && field[length] != '\0') ++length;
  return std::string(field, length);
}

std::string unix_line_ends(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') {
      out += text[i];
    } else {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    }
  }
  return out;
}

std::string host_text_to_utf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    if (payload::next_utf8_code_point(text.data(), text.size(), at) < 0)
      return cp1252_to_utf8(text);
  }
  return std::string(text);
}

}  // namespace scrpkg
