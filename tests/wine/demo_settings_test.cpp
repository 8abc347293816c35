// The demo screen saver's settings file.
#include <gtest/gtest.h>

#include <cstring>

#include "demo/settings.hpp"

namespace aurora {
namespace {

struct SettingsCase {
  const char* name;
  const char* text;
  int speed, curtains, stars, hue;
};

class SettingsFiles : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(SettingsFiles, AreReadLineByLine) {
  const AuroraSettings s = parse_settings(GetParam().text, std::strlen(GetParam().text));
  EXPECT_EQ(s.speed, GetParam().speed);
  EXPECT_EQ(s.curtains, GetParam().curtains);
  EXPECT_EQ(s.stars, GetParam().stars);
  EXPECT_EQ(s.hue, GetParam().hue);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SettingsFiles,
    ::testing::Values(
        SettingsCase{"Empty", "", 3, 3, 120, 0},
        SettingsCase{"AllKeys", "speed=4\ncurtains=2\nstars=160\nhue=90\n", 4, 2, 160, 90},
        SettingsCase{"WindowsLineEnds", "speed=7\r\ncurtains=5\r\n", 7, 5, 120, 0},
        SettingsCase{"BlanksAroundKeyAndValue", "  speed =  9 \n\thue\t=\t200", 9, 3, 120, 200},
        SettingsCase{"Comments", "# speed=9\nspeed=2 # slow\n#hue=5", 2, 3, 120, 0},
        SettingsCase{"BelowRange", "speed=0\ncurtains=-4\nstars=-1\nhue=-30", 1, 1, 0, 0},
        SettingsCase{"AboveRange", "speed=11\ncurtains=99\nstars=123456789\nhue=360", 10, 6, 500,
                     359},
        SettingsCase{"NotNumbers", "speed=fast\ncurtains=\nstars=1e3\nhue=12x", 3, 3, 120, 0},
        SettingsCase{"UnknownKeysAndCase", "Speed=8\nspeedy=8\nstars=7", 3, 3, 7, 0},
        SettingsCase{"NoEquals", "speed 8\ncurtains", 3, 3, 120, 0},
        SettingsCase{"LastOneCounts", "speed=2\nspeed=5", 5, 3, 120, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SettingsFiles, StopAtTheGivenLength) {
  const char text[] = "speed=8\ncurtains=4";
  const AuroraSettings s = parse_settings(text, 8);  // "speed=8\n" only
  EXPECT_EQ(s.speed, 8);
  EXPECT_EQ(s.curtains, 3);
}

}  // namespace
}  // namespace aurora
