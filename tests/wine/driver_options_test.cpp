// The automation driver's command line: options, the program's arguments, and the command
// line it is started with.
#include <gtest/gtest.h>

#include "options.hpp"

namespace wine_driver {
namespace {

using Args = std::vector<std::string>;

TEST(DriverOptions, AnswersKeepTheirOrderAndTheProgramFollows) {
  Options options;
  std::string error;
  ASSERT_TRUE(parse_options({"--answer", "6", "--answer", "1", "--answer", "7", "C:\\pkg\\A.exe"},
                            options, error))
      << error;
  EXPECT_EQ(options.answers, (std::vector<int>{6, 1, 7}));
  EXPECT_EQ(options.command, Args{"C:\\pkg\\A.exe"});
  EXPECT_EQ(options.log_path, "");
  EXPECT_EQ(options.timeout_ms, 120000u);
}

TEST(DriverOptions, EverythingAfterTheSeparatorBelongsToTheProgram) {
  Options options;
  std::string error;
  ASSERT_TRUE(parse_options({"--log", "Z:\\tmp\\run.jsonl", "--timeout", "30", "--poll", "20",
                             "--pause", "1500", "--", "prog.exe", "--answer", "2"},
                            options, error))
      << error;
  EXPECT_TRUE(options.answers.empty());
  EXPECT_EQ(options.command, (Args{"prog.exe", "--answer", "2"}));
  EXPECT_EQ(options.log_path, "Z:\\tmp\\run.jsonl");
  EXPECT_EQ(options.timeout_ms, 30000u);
  EXPECT_EQ(options.poll_ms, 20u);
  EXPECT_EQ(options.pause_ms, 1500u);
}

struct BadLine {
  Args args;
  const char* error;
};

class UnusableLines : public ::testing::TestWithParam<BadLine> {};

TEST_P(UnusableLines, AreRefusedWithAReason) {
  Options options;
  std::string error;
  EXPECT_FALSE(parse_options(GetParam().args, options, error));
  EXPECT_EQ(error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, UnusableLines,
    ::testing::Values(BadLine{{}, "no program to start"},
                      BadLine{{"--answer", "1"}, "no program to start"},
                      BadLine{{
                                  "--",
                              },
                              "no program to start"},
                      BadLine{{"--answer"}, "--answer needs a value"},
                      BadLine{{"--answer", "x", "p.exe"}, "bad option: --answer x"},
                      BadLine{{"--answer", "0", "p.exe"}, "bad option: --answer 0"},
                      BadLine{{"--answer", "65536", "p.exe"}, "bad option: --answer 65536"},
                      BadLine{{"--answer", "7x", "p.exe"}, "bad option: --answer 7x"},
                      BadLine{{"--timeout", "0", "p.exe"}, "bad option: --timeout 0"},
                      BadLine{{"--poll", "1001", "p.exe"}, "bad option: --poll 1001"},
                      BadLine{{"--pause", "-1", "p.exe"}, "bad option: --pause -1"},
                      BadLine{{"--click", "1", "p.exe"}, "bad option: --click 1"}));

struct Quoting {
  Args command;
  const char* line;
};

class CommandLines : public ::testing::TestWithParam<Quoting> {};

TEST_P(CommandLines, SplitBackIntoTheSameArguments) {
  EXPECT_EQ(command_line(GetParam().command), GetParam().line);
}

// Expected lines follow the C runtime's splitting rules: 2n backslashes before a quote give
// n backslashes, 2n+1 give n and a literal quote; other backslashes are literal.
INSTANTIATE_TEST_SUITE_P(Arguments, CommandLines,
                         ::testing::Values(Quoting{{"C:\\pkg\\Aurora.exe"}, "C:\\pkg\\Aurora.exe"},
                                           Quoting{{"a.scr", "/s"}, "a.scr /s"},
                                           Quoting{{"C:\\Program Files\\x.exe", "/p", "123"},
                                                   "\"C:\\Program Files\\x.exe\" /p 123"},
                                           Quoting{{"p", ""}, "p \"\""},
                                           Quoting{{"p", "say \"hi\""}, "p \"say \\\"hi\\\"\""},
                                           Quoting{{"p", "C:\\with space\\"},
                                                   "p \"C:\\with space\\\\\""},
                                           Quoting{{"p", "a\\\\\"b"}, "p \"a\\\\\\\\\\\"b\""},
                                           Quoting{{"p", "tab\there"}, "p \"tab\there\""}));

}  // namespace
}  // namespace wine_driver
