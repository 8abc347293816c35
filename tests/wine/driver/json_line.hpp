// JSON Lines output of the automation driver. Window texts are ANSI bytes (Windows-1252):
// every byte outside printable ASCII is written as \u00XX, so a reader gets back the exact
// bytes by mapping each code point below 256 to the byte of that value.
#pragma once

#include <string>
#include <string_view>

namespace wine_driver {

// `bytes` as a JSON string literal, quotes included.
std::string json_string(std::string_view bytes);

// Builds one JSON object field by field, in the order the fields are added.
class JsonObject {
 public:
  JsonObject& add(std::string_view key, std::string_view text);
  JsonObject& add(std::string_view key, long long number);
  JsonObject& add_bool(std::string_view key, bool value);
  // `json` is already JSON (an object or an array).
  JsonObject& add_raw(std::string_view key, std::string_view json);
  std::string str() const { return "{" + fields_ + "}"; }

 private:
  void key(std::string_view name);
  std::string fields_;
};

// "[a,b,...]" from JSON values.
std::string json_array(const std::string* values, std::size_t count);

}  // namespace wine_driver
