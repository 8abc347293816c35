#include "json_line.hpp"

#include <cstdio>

namespace wine_driver {

std::string json_string(std::string_view bytes) {
  std::string out = "\"";
  for (char c : bytes) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte == '"' || byte == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte >= 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", byte);
      out += escape;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

void JsonObject::key(std::string_view name) {
  if (!fields_.empty()) fields_ += ',';
  fields_ += json_string(name);
  fields_ += ':';
}

JsonObject& JsonObject::add(std::string_view name, std::string_view text) {
  key(name);
  fields_ += json_string(text);
  return *this;
}

JsonObject& JsonObject::add(std::string_view name, long long number) {
  key(name);
  fields_ += std::to_string(number);
  return *this;
}

JsonObject& JsonObject::add_bool(std::string_view name, bool value) {
  key(name);
  fields_ += value ? "true" : "false";
  return *this;
}

JsonObject& JsonObject::add_raw(std::string_view name, std::string_view json) {
  key(name);
  fields_ += json;
  return *this;
}

std::string json_array(const std::string* values, std::size_t count) {
  std::string out = "[";
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0) out += ',';
    out += values[i];
  }
  return out + "]";
}

}  // namespace wine_driver
