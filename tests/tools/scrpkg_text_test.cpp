// Windows-1252 texts shown on a UTF-8 terminal, and the names extraction may write.
#include <gtest/gtest.h>

#include "inspect/names.hpp"
#include "cli/text.hpp"

namespace {

struct Conversion {
  std::string ansi;
  std::string utf8;
};

class Cp1252ToUtf8 : public testing::TestWithParam<Conversion> {};

TEST_P(Cp1252ToUtf8, ConvertsEveryByte) {
  EXPECT_EQ(scrpkg::cp1252_to_utf8(GetParam().ansi), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, Cp1252ToUtf8,
    testing::Values(Conversion{"Aurora", "Aurora"},
                    Conversion{"ge\xEF"
                               "nstalleerd",
                               "ge\xC3\xAFnstalleerd"},
                    Conversion{"\x80 5", "\xE2\x82\xAC 5"},      // euro sign
                    Conversion{"\x99", "\xE2\x84\xA2"},          // trade mark sign
                    Conversion{"\x9F", "\xC5\xB8"},              // Y with diaeresis
                    Conversion{"\x81", "\xC2\x81"},              // unassigned: C1 control
                    Conversion{"\xA0\xFF", "\xC2\xA0\xC3\xBF"},  // Latin-1 range
                    Conversion{std::string("a\0b", 3), std::string("a\0b", 3)}));

TEST(TextHelpers, LineEndsBlanksAndFixedFields) {
  EXPECT_EQ(scrpkg::unix_line_ends("a\r\n\r\nb\rc"), "a\n\nb\nc");
  EXPECT_EQ(scrpkg::without_trailing_blanks("Aurora   "), "Aurora");
  EXPECT_EQ(scrpkg::without_trailing_blanks("   "), "");
  EXPECT_EQ(scrpkg::without_trailing_blanks(" a b "), " a b");
  const char field[4] = {'A', 'B', 'C', 'D'};
  EXPECT_EQ(scrpkg::fixed_field(field, 4), "ABCD");
  EXPECT_EQ(scrpkg::fixed_field(".BM\0", 4), ".BM");
  EXPECT_EQ(scrpkg::host_text_to_utf8("caf\xC3\xA9"), "caf\xC3\xA9");
  EXPECT_EQ(scrpkg::host_text_to_utf8("caf\xE9"), "caf\xC3\xA9");
  EXPECT_EQ(scrpkg::escaped_controls("\x1B[2Ja\tb\x7F\xC2\x9D\xC3\xA9~"),
            "\\x1B[2Ja\\x09b\\x7F\\u009D\xC3\xA9~");
}

payload::Entry entry_with_extension(const char* extension) {
  payload::Entry e{100, 10, 0, {}};
  for (int i = 0; i < 4 && extension[i] != '\0'; ++i) e.extension[i] = extension[i];
  return e;
}

struct NamesCase {
  std::string module_path;
  std::uint16_t base;
  std::vector<std::string> expected;
};

class InstalledNames : public testing::TestWithParam<NamesCase> {};

TEST_P(InstalledNames, FollowTheInstallersRules) {
  const NamesCase& c = GetParam();
  std::vector<payload::Entry> entries;
  const char* extensions[] = {".SCR", ".DAT", ".BMP", ".WAV", ".T"};
  for (std::size_t i = 0; i < c.expected.size(); ++i)
    entries.push_back(entry_with_extension(extensions[i]));
  EXPECT_EQ(scrpkg::inspect::installed_names(c.module_path, c.base, entries), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Packages, InstalledNames,
    testing::Values(NamesCase{"Z:\\tmp\\Aurora.exe",
                              3,
                              {"AURORA.SCR", "TOLVERAN\\LUMIVANE\\Aurora\\Aurora.DAT",
                               "TOLVERAN\\LUMIVANE\\Aurora\\FILE0003.BMP",
                               "TOLVERAN\\LUMIVANE\\Aurora\\FILE0004.WAV",
                               "TOLVERAN\\LUMIVANE\\Aurora\\FILE0005.T"}},
                    NamesCase{"Z:\\tmp\\My.Saver.exe",
                              3,
                              {"MY.SCR", "TOLVERAN\\LUMIVANE\\My.Saver\\My.Saver.DAT"}},
                    NamesCase{"/tmp/x/../Night.exe",  // a host path: its folders play no part
                              2,
                              {"NIGHT.SCR", "TOLVERAN\\LUMIVANE\\Night\\Night.DAT"}},
                    NamesCase{"Z:\\a\\b\\night.exe",
                              9999,
                              {"NIGHT.SCR", "TOLVERAN\\LUMIVANE\\night\\night.DAT",
                               "TOLVERAN\\LUMIVANE\\night\\FILE9999.BMP",
                               "TOLVERAN\\LUMIVANE\\night\\FILE10000.WAV"}}));

struct UnsafeCase {
  std::string relative;
  bool safe;
};

class UnsafeNames : public testing::TestWithParam<UnsafeCase> {};

TEST_P(UnsafeNames, RefusesWhatCouldLeaveTheFolder) {
  EXPECT_EQ(!scrpkg::inspect::unsafe_name_reason(GetParam().relative).has_value(), GetParam().safe)
      << GetParam().relative;
}

INSTANTIATE_TEST_SUITE_P(
    Names, UnsafeNames,
    testing::Values(UnsafeCase{"AURORA.SCR", true},
                    UnsafeCase{"TOLVERAN\\LUMIVANE\\Aurora\\FILE0003.BMP", true},
                    UnsafeCase{"TOLVERAN\\LUMIVANE\\Aurora\\..foo", true},
                    UnsafeCase{"TOLVERAN\\LUMIVANE\\Aurora\\FILE0003\\..", false},
                    UnsafeCase{"TOLVERAN\\LUMIVANE\\..\\x", false},
                    UnsafeCase{"TOLVERAN\\LUMIVANE\\.\\x", false},
                    UnsafeCase{"\\etc\\passwd", false}, UnsafeCase{"A\\\\B", false},
                    UnsafeCase{"FILE0003/..", false}, UnsafeCase{"FILE0003.C:X", false},
                    UnsafeCase{"FILE\x01.BMP", false}, UnsafeCase{"FILE\x7F.BMP", false},
                    UnsafeCase{"", false}));

TEST(UnsafeExtensions, SeparatorsColonsAndControls) {
  const struct {
    const char raw[4];
    bool safe;
  } cases[] = {{{'.', 'B', 'M', 'P'}, true},  {{'.', 'T', 0, 0}, true},
               {{'\\', '.', '.', 0}, false},  {{'/', '.', '.', 0}, false},
               {{'.', ':', 'A', 0}, false},   {{'.', '\t', 0, 0}, false},
               {{'.', 'a', '*', 'b'}, false},  // the checker's wildcards too
               {{'.', 'A', 0, '/'}, true}};    // bytes after the NUL are not part of the name
  for (const auto& c : cases) {
    EXPECT_EQ(!scrpkg::inspect::unsafe_extension_reason(c.raw).has_value(), c.safe)
        << std::string(c.raw, 4);
  }
}

TEST(HostPathInside, KeepsTargetsUnderTheFolder) {
  const auto inside =
      scrpkg::inspect::host_path_inside("/tmp/out", "TOLVERAN\\LUMIVANE\\Aurora\\A.DAT");
  ASSERT_TRUE(inside.has_value());
  EXPECT_EQ(inside->string(), "/tmp/out/TOLVERAN/LUMIVANE/Aurora/A.DAT");
  EXPECT_FALSE(scrpkg::inspect::host_path_inside("/tmp/out", "..\\x").has_value());
  EXPECT_FALSE(scrpkg::inspect::host_path_inside("/tmp/out", "A\\..\\..\\out2\\x").has_value());
  EXPECT_FALSE(scrpkg::inspect::host_path_inside("/tmp/out", "A\\..").has_value());
}

}  // namespace
