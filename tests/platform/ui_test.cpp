#include "platform/platform.hpp"
#include "sandbox_fixture.hpp"

#include <chrono>
#include <thread>

namespace {

using Kind = platform::posix::Event::Kind;

TEST_F(SandboxTest, MessageBoxPassesTheBoxToTheAnswerAndRecordsTheAnswer) {
  std::string seen_caption, seen_text;
  unsigned seen_type = 0;
  reconfigure([&](platform::posix::Config& config) {
    config.machine.answer = [&](const std::string& caption, const std::string& text,
                                unsigned type) {
      seen_caption = caption;
      seen_text = text;
      seen_type = type;
      return platform::kIdNo;
    };
  });
  const unsigned type = platform::kMbYesNo | platform::kMbIconQuestion;
  EXPECT_EQ(platform::message_box("Ge\xEF"
                                  "nstalleerd?",
                                  "Vraag", type),
            platform::kIdNo);
  EXPECT_EQ(seen_caption, "Vraag");
  EXPECT_EQ(seen_text,
            "Ge\xEF"
            "nstalleerd?");
  EXPECT_EQ(seen_type, 0x24u);
  ASSERT_EQ(events_.size(), 1u);
  EXPECT_EQ(events_[0].kind, Kind::message_box);
  EXPECT_EQ(events_[0].caption, "Vraag");
  EXPECT_EQ(events_[0].text,
            "Ge\xEF"
            "nstalleerd?");
  EXPECT_EQ(events_[0].type, 0x24u);
  EXPECT_EQ(events_[0].button, platform::kIdNo);
}

struct ButtonCase {
  unsigned type;
  int answer;
  bool valid;
};

TEST(MessageBoxButtons, AnswersAreCheckedAgainstTheBoxesButtons) {
  const ButtonCase cases[] = {
      {platform::kMbOk | platform::kMbIconError, platform::kIdOk, true},
      {platform::kMbOk, platform::kIdCancel, false},
      {platform::kMbOkCancel | platform::kMbIconInformation, platform::kIdCancel, true},
      {platform::kMbOkCancel, platform::kIdYes, false},
      {platform::kMbYesNo | platform::kMbIconQuestion, platform::kIdNo, true},
      {platform::kMbYesNo, platform::kIdCancel, false},
      {platform::kMbYesNoCancel | platform::kMbIconQuestion, platform::kIdCancel, true},
      {platform::kMbYesNoCancel, platform::kIdOk, false},
  };
  for (const ButtonCase& c : cases) {
    EXPECT_EQ(platform::posix::is_button_of(c.type, c.answer), c.valid)
        << "type " << c.type << " answer " << c.answer;
  }
}

TEST_F(SandboxTest, ShellOpenSucceedsUnlessTheBrowserCannotStart) {
  for (bool fails : {false, true}) {
    events_.clear();
    reconfigure([&](platform::posix::Config& config) { config.machine.shell_open_fails = fails; });
    const std::intptr_t result = platform::shell_open("http://example.test/supfiles");
    EXPECT_EQ(result > 32, !fails);
    ASSERT_EQ(events_.size(), 1u);
    EXPECT_EQ(events_[0].kind, Kind::shell_open);
    EXPECT_EQ(events_[0].address, "http://example.test/supfiles");
    EXPECT_EQ(events_[0].show_command, platform::kShowMaximized);
  }
}

TEST_F(SandboxTest, LaunchIsRecordedAndSucceeds) {
  EXPECT_GT(platform::launch_program("AURORA.SCR", platform::kShowNormal), 31u);
  ASSERT_EQ(events_.size(), 1u);
  EXPECT_EQ(events_[0].kind, Kind::launch);
  EXPECT_EQ(events_[0].address, "AURORA.SCR");
  EXPECT_EQ(events_[0].show_command, platform::kShowNormal);
}

TEST_F(SandboxTest, LaunchRunsTheProgramFromTheWindowsDirectoryWithTheRunner) {
  const fs::path runner = top_ / "runner.sh";
  const fs::path marker = top_ / "launched.txt";
  write_all(runner, "#!/bin/sh\necho \"$1\" > " + marker.string() + ".tmp && mv " +
                        marker.string() + ".tmp " + marker.string() + "\n");
  fs::permissions(runner, fs::perms::owner_all);
  write_all(windows_ / "AURORA.SCR", "MZ");
  reconfigure(
      [&](platform::posix::Config& config) { config.machine.launch_with = runner.string(); });

  EXPECT_EQ(platform::launch_program("aurora.scr", platform::kShowNormal), 33u);
  for (int tries = 0; tries < 500 && !fs::exists(marker); ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(read_all(marker), (windows_ / "AURORA.SCR").string() + "\n");
  EXPECT_LE(platform::launch_program("MISSING.SCR", platform::kShowNormal), 31u);
}

TEST_F(SandboxTest, CursorAndScreenMetrics) {
  reconfigure([](platform::posix::Config& config) {
    config.machine.screen_width = 800;
    config.machine.screen_height = 600;
  });
  platform::set_cursor(platform::Cursor::wait);
  platform::set_cursor(platform::Cursor::arrow);
  ASSERT_EQ(events_.size(), 2u);
  EXPECT_EQ(events_[0].kind, Kind::cursor);
  EXPECT_TRUE(events_[0].waiting);
  EXPECT_FALSE(events_[1].waiting);
  EXPECT_EQ(platform::screen_width(), 800);
  EXPECT_EQ(platform::screen_height(), 600);
}

}  // namespace
