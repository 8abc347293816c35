// Display names and extensions: converted to Windows-1252 and held to their field sizes.
#include <gtest/gtest.h>

#include <string>

#include "tools/encoder/package_error.hpp"
#include "tools/encoder/package_text.hpp"

namespace {

struct NameCase {
  std::string utf8;
  std::string expected;  // Windows-1252 bytes
};

TEST(PackText, DisplayNamesConvertToWindows1252) {
  const NameCase cases[] = {
      {"Aurora", "Aurora"},
      {"Caf\xC3\xA9 Noir", "Caf\xE9 Noir"},
      {"Na\xC3\xAFve", "Na\xEFve"},
      {"\xE2\x82\xAC 5", "\x80 5"},
      {"\xE2\x80\x9CQuote\xE2\x80\x9D", "\x93Quote\x94"},
      {"\xC5\xB8", "\x9F"},
      {"", ""},
      {"12345678901234567890123456789012", "12345678901234567890123456789012"},
      {"\xC3\xA9"
       "2345678901234567890123456789012",
       "\xE9"
       "2345678901234567890123456789012"},
  };
  for (const NameCase& c : cases) EXPECT_EQ(packer::display_name(c.utf8), c.expected) << c.utf8;
}

TEST(PackText, RefusesNamesThatDoNotFitOrMap) {
  const std::string refused[] = {
      "123456789012345678901234567890123",  // 33 bytes
      "\xC5\x81"
      "\xC3\xB3"
      "d\xC5\xBA",                 // Polish letters outside Windows-1252
      "\xE6\x97\xA5\xE6\x9C\xAC",  // CJK
      "\xC2\x81",                  // a C1 control without a Windows-1252 byte
      "bad \xC3",                  // truncated sequence
      "\xC0\xA0",                  // overlong encoding
      "a\x1B[2Jb",                 // controls, which list would have to escape
      "tab\there",
  };
  for (const std::string& name : refused)
    EXPECT_THROW(packer::display_name(name), packer::PackError) << name;
}

struct ExtensionCase {
  std::string path;
  std::string expected;
};

TEST(PackText, ExtensionComesFromTheLastDotOfTheFileName) {
  const ExtensionCase cases[] = {
      {"AURORA.SCR", ".SCR"},
      {"dir/aurora.scr", ".scr"},
      {"data.tar.gz", ".gz"},
      {"a.b/NOEXT", ""},
      {"x.", "."},
      {"/tmp/pic.BMP", ".BMP"},
  };
  for (const ExtensionCase& c : cases)
    EXPECT_EQ(packer::extension_field(c.path), c.expected) << c.path;
}

TEST(PackText, RefusesExtensionsLongerThanFourWithTheDot) {
  for (const char* path : {"photo.JPEG", "x.html5", "f.\xC5\x81"}) {
    EXPECT_THROW(packer::extension_field(path), packer::PackError) << path;
  }
}

// The package checker's rule: an extension it would call damaged is never written.
TEST(PackText, RefusesExtensionsTheCheckerCallsUnsafe) {
  for (const char* path : {"c.A:B", "c.a\\b", "c.a*b", "c.\x1B"}) {
    EXPECT_THROW(packer::extension_field(path), packer::PackError) << path;
  }
}

TEST(PackText, DefaultNameIsTheFileNameWithoutExtension) {
  const ExtensionCase cases[] = {
      {"/work/AURORA.SCR", "AURORA"}, {"deep.sea.scr", "deep.sea"}, {"plain", "plain"}};
  for (const ExtensionCase& c : cases)
    EXPECT_EQ(packer::name_without_extension(c.path), c.expected);
}

}  // namespace
