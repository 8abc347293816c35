#include "payload/names.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using payload::InstallNames;

struct NameCase {
  const char* module_path;
  const char* base_name;
  const char* target_name;
};

const NameCase kNameCases[] = {
    {"C:\\GAMES\\Aurora.exe", "Aurora", "AURORA.SCR"},
    {"Z:\\tmp\\pkg\\My.Saver.exe", "My.Saver", "MY.SCR"},
    {"C:\\x\\a.b.c.EXE", "a.b.c", "A.SCR"},
    {"C:\\x\\NoDot", "NoDot", "NODOT.SCR"},
    {"C:\\dir.d\\plain", "plain", "PLAIN.SCR"},
    {"Aurora.exe", "Aurora", "AURORA.SCR"},
    {"C:\\x\\mixed_Case-9.exe", "mixed_Case-9", "MIXED_CASE-9.SCR"},
    {"C:\\x\\caf\xE9z.exe", "caf\xE9z", "CAF\xE9Z.SCR"},
    {"C:\\x\\.exe", "", ".SCR"},
};

TEST(Names, BaseAndTargetNameFromModulePath) {
  for (const NameCase& c : kNameCases) {
    char base[platform::kPathSize];
    char target[platform::kPathSize];
    ASSERT_TRUE(payload::installer_base_name(c.module_path, base, sizeof base)) << c.module_path;
    ASSERT_TRUE(payload::target_name_of(c.module_path, target, sizeof target)) << c.module_path;
    EXPECT_STREQ(base, c.base_name) << c.module_path;
    EXPECT_STREQ(target, c.target_name) << c.module_path;
  }
}

TEST(Names, UpperCaseChangesOnlyAsciiLetters) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"c:\\windows", "C:\\WINDOWS"},
      {"az`{@[AZ", "AZ`{@[AZ"},
      {"ge\xEF"
       "nstalleerd",
       "GE\xEF"
       "NSTALLEERD"},
      {"", ""},
  };
  for (const auto& c : cases) {
    std::string text = c.in;
    payload::upper_case(text.data());
    EXPECT_EQ(text, c.out);
  }
}

TEST(Names, SeparatorAddedOnlyWhenMissing) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"C:\\WINDOWS", "C:\\WINDOWS\\"},
      {"C:\\", "C:\\"},
      {"C:", "C:\\"},
      {"D:\\WIN\\SYS\\", "D:\\WIN\\SYS\\"},
  };
  for (const auto& c : cases) {
    char dir[platform::kPathSize];
    std::strcpy(dir, c.in);
    ASSERT_TRUE(payload::add_separator(dir, sizeof dir)) << c.in;
    EXPECT_STREQ(dir, c.out);
  }
}

InstallNames make_names(const char* windows_dir, const char* base, const char* target) {
  InstallNames names{};
  std::strcpy(names.windows_dir, windows_dir);
  std::strcpy(names.base_name, base);
  names.target_name = target;
  return names;
}

struct PathCase {
  const char* windows_dir;
  const char* base_name;
  const char* target_name;
  std::uint32_t index;
  std::uint16_t base;
  const char* extension;  // read up to 4 characters
  const char* expected;
};

const PathCase kPathCases[] = {
    {"C:\\WINDOWS\\", "Aurora", "AURORA.SCR", 0, 3, ".SCR", "C:\\WINDOWS\\AURORA.SCR"},
    {"C:\\WINDOWS\\", "Aurora", "AURORA.SCR", 1, 3, ".XYZ",
     "C:\\WINDOWS\\TOLVERAN\\LUMIVANE\\Aurora\\Aurora.DAT"},
    {"C:\\WINDOWS\\", "Aurora", "AURORA.SCR", 2, 3, ".BMP",
     "C:\\WINDOWS\\TOLVERAN\\LUMIVANE\\Aurora\\FILE0003.BMP"},
    {"C:\\WINDOWS\\", "Aurora", "AURORA.SCR", 3, 3, ".wav",
     "C:\\WINDOWS\\TOLVERAN\\LUMIVANE\\Aurora\\FILE0004.wav"},
    {"C:\\WINDOWS\\", "Aurora", "AURORA.SCR", 2, 0, ".BMP",
     "C:\\WINDOWS\\TOLVERAN\\LUMIVANE\\Aurora\\FILE0000.BMP"},
    {"C:\\WINDOWS\\", "Aurora", "AURORA.SCR", 2, 9999, ".B",
     "C:\\WINDOWS\\TOLVERAN\\LUMIVANE\\Aurora\\FILE9999.B"},
    {"C:\\WINDOWS\\", "Aurora", "AURORA.SCR", 3, 9999, ".B",
     "C:\\WINDOWS\\TOLVERAN\\LUMIVANE\\Aurora\\FILE10000.B"},
    {"C:\\WINDOWS\\", "Aurora", "AURORA.SCR", 4, 65535, ".TIFXYZ",
     "C:\\WINDOWS\\TOLVERAN\\LUMIVANE\\Aurora\\FILE65537.TIF"},
    {"C:\\WINDOWS\\", "Aurora", "AURORA.SCR", 2, 3, "\0\0\0\0",
     "C:\\WINDOWS\\TOLVERAN\\LUMIVANE\\Aurora\\FILE0003"},
    {"c:\\windows\\", "Aurora", "AURORA.SCR", 0, 3, ".SCR", "C:\\WINDOWS\\AURORA.SCR"},
    {"c:\\windows\\", "Aurora", "AURORA.SCR", 1, 3, ".DAT",
     "c:\\windows\\TOLVERAN\\LUMIVANE\\Aurora\\Aurora.DAT"},
    {"C:\\", "Aurora", "AURORA.SCR", 0, 3, ".SCR", "C:\\AURORA.SCR"},
    {"C:\\", "Aurora", "AURORA.SCR", 1, 3, ".DAT", "C:\\TOLVERAN\\LUMIVANE\\Aurora\\Aurora.DAT"},
    {"C:\\WINDOWS\\", "My.Saver", "MY.SCR", 0, 3, ".SCR", "C:\\WINDOWS\\MY.SCR"},
    {"C:\\WINDOWS\\", "My.Saver", "MY.SCR", 1, 3, ".DAT",
     "C:\\WINDOWS\\TOLVERAN\\LUMIVANE\\My.Saver\\My.Saver.DAT"},
};

TEST(Names, TargetPathByIndex) {
  for (const PathCase& c : kPathCases) {
    const InstallNames names = make_names(c.windows_dir, c.base_name, c.target_name);
    char path[platform::kPathSize];
    ASSERT_TRUE(payload::target_path(names, c.index, c.base, c.extension, path, sizeof path))
        << c.expected;
    EXPECT_STREQ(path, c.expected);
  }
}

// Every path fits a buffer of its length + 1 exactly; one byte less fails without a
// single byte written past the buffer.
TEST(Names, TargetPathNeverWritesPastItsBuffer) {
  for (const PathCase& c : kPathCases) {
    const InstallNames names = make_names(c.windows_dir, c.base_name, c.target_name);
    const auto exact = static_cast<std::uint32_t>(std::strlen(c.expected) + 1);
    std::vector<char> buffer(exact + 8, '#');
    EXPECT_TRUE(payload::target_path(names, c.index, c.base, c.extension, buffer.data(), exact));
    EXPECT_STREQ(buffer.data(), c.expected);

    std::fill(buffer.begin(), buffer.end(), '#');
    EXPECT_FALSE(
        payload::target_path(names, c.index, c.base, c.extension, buffer.data(), exact - 1))
        << c.expected;
    EXPECT_EQ(buffer[0], '\0');
    for (std::size_t i = exact - 1; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], '#') << i;
  }
}

TEST(Names, NamesThatDoNotFitFail) {
  const std::string long_name(300, 'a');
  const std::string module_path = "C:\\" + long_name + ".exe";
  char out[platform::kPathSize];
  EXPECT_FALSE(payload::installer_base_name(module_path.c_str(), out, sizeof out));
  EXPECT_STREQ(out, "");
  EXPECT_FALSE(payload::target_name_of(module_path.c_str(), out, sizeof out));
  EXPECT_STREQ(out, "");

  char text[8] = "abc";
  EXPECT_TRUE(payload::append_text(text, sizeof text, "defg"));
  EXPECT_STREQ(text, "abcdefg");
  EXPECT_FALSE(payload::append_text(text, sizeof text, "h"));
  EXPECT_FALSE(payload::copy_text(text, sizeof text, "12345678"));
  EXPECT_STREQ(text, "");
}

}  // namespace
