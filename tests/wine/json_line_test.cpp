// The driver's JSON Lines: window texts must come back as the exact ANSI bytes.
#include <gtest/gtest.h>

#include "json_line.hpp"

namespace wine_driver {
namespace {

struct Escape {
  std::string bytes;
  const char* json;
};

class JsonStrings : public ::testing::TestWithParam<Escape> {};

TEST_P(JsonStrings, KeepEveryByteReadable) {
  EXPECT_EQ(json_string(GetParam().bytes), GetParam().json);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, JsonStrings,
    ::testing::Values(Escape{"", "\"\""}, Escape{"Installeren", "\"Installeren\""},
                      Escape{"C:\\WINDOWS", "\"C:\\\\WINDOWS\""},
                      Escape{"de \"JA\" toets", "\"de \\\"JA\\\" toets\""},
                      Escape{"ge\xEF"
                             "nstalleerd",
                             "\"ge\\u00efnstalleerd\""},
                      Escape{"volledig!\r\n\r\nDe", "\"volledig!\\u000d\\u000a\\u000d\\u000aDe\""},
                      Escape{"\x7F\x80\xFF", "\"\\u007f\\u0080\\u00ff\""},
                      Escape{std::string("a\0b", 3), "\"a\\u0000b\""}, Escape{"~ /", "\"~ /\""}));

TEST(JsonObject, KeepsTheFieldsInTheOrderAdded) {
  const std::string sides[] = {"-3", "0", "1024", "768"};
  EXPECT_EQ(JsonObject()
                .add("event", "window")
                .add("pid", -12)
                .add_bool("visible", true)
                .add_bool("enabled", false)
                .add_raw("rect", json_array(sides, 4))
                .add("text", "\xEF")
                .str(),
            "{\"event\":\"window\",\"pid\":-12,\"visible\":true,\"enabled\":false,"
            "\"rect\":[-3,0,1024,768],\"text\":\"\\u00ef\"}");
}

TEST(JsonObject, EmptyObjectsAndArrays) {
  EXPECT_EQ(JsonObject().str(), "{}");
  EXPECT_EQ(json_array(nullptr, 0), "[]");
}

}  // namespace
}  // namespace wine_driver
