// How the demo screen saver reads the command lines the system starts screen savers with.
#include <gtest/gtest.h>

#include "demo/saver_args.hpp"

namespace aurora {
namespace {

struct LineCase {
  const char* command_line;
  SaverMode mode;
  std::uintptr_t window;
};

class SaverCommandLines : public ::testing::TestWithParam<LineCase> {};

TEST_P(SaverCommandLines, GiveTheModeAndTheWindow) {
  const SaverRequest request = parse_saver_arguments(skip_program_name(GetParam().command_line));
  EXPECT_EQ(request.mode, GetParam().mode);
  EXPECT_EQ(request.window, GetParam().window);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SaverCommandLines,
    ::testing::Values(
        // The installer's launch: the name alone, which asks for the settings.
        LineCase{"AURORA.SCR", SaverMode::settings, 0},
        LineCase{"AURORA.SCR   ", SaverMode::settings, 0},
        LineCase{"C:\\WINDOWS\\AURORA.SCR /s", SaverMode::full_screen, 0},
        LineCase{"C:\\WINDOWS\\AURORA.SCR /S", SaverMode::full_screen, 0},
        LineCase{"\"C:\\Program Files\\A B.SCR\" -s", SaverMode::full_screen, 0},
        LineCase{"\"C:\\Program Files\\A B.SCR\"", SaverMode::settings, 0},
        LineCase{"AURORA.SCR /c", SaverMode::settings, 0},
        LineCase{"AURORA.SCR /c:1234", SaverMode::settings, 1234},
        LineCase{"AURORA.SCR /p 65590", SaverMode::preview, 65590},
        LineCase{"AURORA.SCR /P:65590", SaverMode::preview, 65590},
        LineCase{"AURORA.SCR /l 42", SaverMode::preview, 42},
        LineCase{"AURORA.SCR /a 77", SaverMode::password, 77},
        LineCase{"AURORA.SCR /x", SaverMode::settings, 0},
        LineCase{"AURORA.SCR /", SaverMode::settings, 0},
        LineCase{"AURORA.SCR s", SaverMode::settings, 0}, LineCase{"", SaverMode::settings, 0}));

TEST(ProgramName, QuotedNamesMayHoldBlanks) {
  EXPECT_STREQ(skip_program_name("\"C:\\A B\\X.SCR\"  /p 5"), "/p 5");
  EXPECT_STREQ(skip_program_name("X.SCR\t/s"), "/s");
  EXPECT_STREQ(skip_program_name("\"unterminated"), "");
}

}  // namespace
}  // namespace aurora
