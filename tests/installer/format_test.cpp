#include "installer/format.hpp"
#include "payload/names.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace {

struct GroupingCase {
  std::uint32_t value;
  const char* expected;
};

class Grouping : public ::testing::TestWithParam<GroupingCase> {};

TEST_P(Grouping, InsertsACommaBetweenGroupsOfThree) {
  char out[installer::kGroupedSize];
  installer::group_thousands(GetParam().value, out);
  EXPECT_STREQ(out, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, Grouping,
                         ::testing::Values(GroupingCase{0, "0"}, GroupingCase{7, "7"},
                                           GroupingCase{123, "123"}, GroupingCase{999, "999"},
                                           GroupingCase{1000, "1,000"}, GroupingCase{2048, "2,048"},
                                           GroupingCase{123456, "123,456"},
                                           GroupingCase{1234567, "1,234,567"},
                                           GroupingCase{2147483648u, "2,147,483,648"},
                                           GroupingCase{3000000000u, "3,000,000,000"},
                                           GroupingCase{4294967295u, "4,294,967,295"}));

struct TrimCase {
  const char* input;
  const char* expected;
};

class Trimming : public ::testing::TestWithParam<TrimCase> {};

TEST_P(Trimming, RemovesOnlyTrailingBlanks) {
  char text[40];
  std::strcpy(text, GetParam().input);
  installer::trim_trailing_blanks(text);
  EXPECT_STREQ(text, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Names, Trimming,
                         ::testing::Values(TrimCase{"Aurora", "Aurora"},
                                           TrimCase{"Aurora   ", "Aurora"},
                                           TrimCase{"  Deep Sea  ", "  Deep Sea"},
                                           TrimCase{"    ", ""}, TrimCase{"", ""},
                                           TrimCase{"Tab\t", "Tab\t"}));

TEST(AfterLastBackslash, TakesTheFileNameOrTheWholeText) {
  EXPECT_STREQ(payload::file_name_of("Z:\\pkg\\Aurora.exe"), "Aurora.exe");
  EXPECT_STREQ(payload::file_name_of("Aurora.exe"), "Aurora.exe");
  EXPECT_STREQ(payload::file_name_of("C:\\"), "");
}

}  // namespace
