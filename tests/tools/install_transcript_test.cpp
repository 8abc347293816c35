// scrpkg install through the command line: answers, transcripts and the event log.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "tests/support/message_box.hpp"
#include "tests/tools/scrpkg_cli.hpp"

namespace {

using namespace scrpkg_test;
using nlohmann::json;

struct InstallCase {
  std::string label;
  std::vector<std::string> options;
  std::string input;  // standard input (never a terminal)
  int status;
  bool installed;                   // AURORA.SCR and the data file were written
  std::vector<std::string> events;  // "event" of every log line, the exit line included
};

const std::vector<std::string> kWholeRun = {"message_box", "registration", "dialog", "message_box",
                                            "dialog",      "launch",       "exit"};

std::vector<InstallCase> install_cases() {
  return {
      {"press_defaults", {"-y"}, "", 0, true, kWholeRun},
      {"answers_in_order", {"--answers", "ok,OK"}, "", 0, true, kWholeRun},
      {"answers_by_position", {"--answers", "1,1"}, "", 0, true, kWholeRun},
      {"cancel_at_confirmation", {"--answers", "annuleren"}, "", 0, false, {"message_box", "exit"}},
      {"english_cancel", {"--answers", "cancel"}, "", 0, false, {"message_box", "exit"}},
      {"no_answer_left_for_completion",
       {"--answers", "ok"},
       "",
       1,
       true,
       {"message_box", "registration", "dialog", "exit"}},
      {"answer_not_a_button", {"--answers", "ja"}, "", 1, false, {"exit"}},
      {"no_answers_and_no_terminal", {}, "ok\n", 1, false, {"exit"}},
      {"opengl_missing_install_anyway",
       {"--without", "OPENGL32.DLL", "--answers", "nee,ok,ok"},
       "",
       0,
       true,
       {"message_box", "message_box", "registration", "dialog", "message_box", "dialog", "launch",
        "exit"}},
      {"glu_missing_download",
       {"--without", "glu32.dll", "--answers", "ja"},
       "",
       0,
       false,
       {"message_box", "shell_open", "exit"}},
      {"disk_full_cancel",
       {"--free-kb", "0", "--answers", "annuleren"},
       "",
       0,
       false,
       {"message_box", "exit"}},
  };
}

std::vector<json> log_lines(const fs::path& log) {
  std::vector<json> lines;
  std::istringstream in(file_text(log));
  std::string line;
  while (std::getline(in, line)) lines.push_back(json::parse(line));
  return lines;
}

class InstallRun : public testing::Test {
 protected:
  void SetUp() override {
    // 1,000 bytes stored plus 3,000 restored: 4,000 bytes installed.
    testsupport::write_file(package_.string(), testsupport::build_package(
                                                   {{sample_bytes(1000, 1), 0, ".SCR"},
                                                    {testsupport::Bytes(200, 0), 3000, ".DAT"}}));
  }

  RunResult install(const std::vector<std::string>& options, const std::string& input = "") {
    std::vector<std::string> args = {"install",         package_.string(), "--windows-dir",
                                     windows_.string(), "--log",           log_.string()};
    args.insert(args.end(), options.begin(), options.end());
    return run_scrpkg(args, input);
  }

  ScratchDir dir_;
  fs::path package_ = dir_ / "Aurora.exe";
  fs::path windows_ = dir_ / "WINDOWS";
  fs::path log_ = dir_ / "events.jsonl";
};

class InstallCases : public InstallRun, public testing::WithParamInterface<InstallCase> {};

TEST_P(InstallCases, StatusFilesAndLoggedEvents) {
  const InstallCase& c = GetParam();
  const RunResult run = install(c.options, c.input);
  EXPECT_EQ(run.status, c.status) << run.out << run.err;
  EXPECT_EQ(fs::exists(windows_ / "AURORA.SCR"), c.installed);
  EXPECT_EQ(fs::exists(windows_ / "TOLVERAN/LUMIVANE/Aurora/Aurora.DAT"), c.installed);
  std::vector<std::string> kinds;
  const std::vector<json> lines = log_lines(log_);
  for (const json& line : lines) kinds.push_back(line["event"]);
  EXPECT_EQ(kinds, c.events);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back()["status"], c.status);
  if (c.status == 1) {
    EXPECT_EQ(run.err.rfind("scrpkg: ", 0), 0u) << run.err;
  }
}

INSTANTIATE_TEST_SUITE_P(Answers, InstallCases, testing::ValuesIn(install_cases()),
                         [](const auto& info) { return info.param.label; });

TEST_F(InstallRun, LogCarriesTheTextsInUtf8) {
  ASSERT_EQ(install({"-y"}).status, 0);
  const std::vector<json> lines = log_lines(log_);
  ASSERT_EQ(lines.size(), kWholeRun.size());

  const json& confirm = lines[0];
  EXPECT_EQ(confirm["caption"], "Aurora Screen Saver Installatie");
  EXPECT_EQ(confirm["text"], testsupport::confirmation_text("AURORA.SCR", "Aurora", "4,000"));
  EXPECT_EQ(confirm["buttons"], json::array({"OK", "Annuleren"}));
  EXPECT_EQ(confirm["icon"], "information");
  EXPECT_EQ(confirm["answer"], "OK");

  EXPECT_EQ(lines[1]["scrnsave_exe"], "C:\\WINDOWS\\AURORA.SCR");
  EXPECT_EQ(lines[1]["screen_saving"], true);

  const json& progress = lines[2];
  EXPECT_EQ(progress["resource"], 103);
  EXPECT_EQ(progress["window_text"], "Aurora Screen Saver Installatie");
  EXPECT_EQ(progress["result"], 1);
  EXPECT_NE(std::find(progress["controls"].begin(), progress["controls"].end(),
                      json({{"id", 1001}, {"text", "Aurora Screen Saver"}})),
            progress["controls"].end());

  EXPECT_EQ(lines[3]["text"],
            "Installatie volledig!\r\n\r\nDe gegevensbestanden werden ook in de map "
            "C:\\WINDOWS\\TOLVERAN\\LUMIVANE\\AURORA ge\xC3\xAFnstalleerd.");
  EXPECT_EQ(lines[3]["icon"], "exclamation");
  EXPECT_EQ(lines[3]["buttons"], json::array({"OK"}));

  EXPECT_EQ(lines[4]["resource"], 104);
  EXPECT_EQ(lines[4]["controls"][0]["text"], "Dit programma werd gemaakt met");

  EXPECT_EQ(lines[5]["command_line"], "AURORA.SCR");
  EXPECT_EQ(lines[5]["show"], 5);
}

TEST_F(InstallRun, TranscriptShowsBoxesButtonsAndAnswers) {
  const RunResult run = install({"--answers", "ok,ok"});
  ASSERT_EQ(run.status, 0) << run.err;
  for (const char* expected :
       {"+-- Aurora Screen Saver Installatie  (information)\n", "|   [ OK ] [ Annuleren ]\n> OK\n",
        "|   Installatie volledig!\n|   \n", "ge\xC3\xAFnstalleerd.\n",
        "|   Aurora Screen Saver\n|   Wachten aub...\n+-- closed when the files were written "
        "(result "
        "1)\nsystem.ini: [boot] SCRNSAVE.EXE=C:\\WINDOWS\\AURORA.SCR, screen saving switched on\n",
        "+-- Lumivane Deluxe Bestelinfo\n", "|   *** LUMIVANE DELUXE *** TM\n",
        "start: AURORA.SCR (show command 5)\n"}) {
    EXPECT_NE(run.out.find(expected), std::string::npos) << expected << "\nin:\n" << run.out;
  }
}

TEST_F(InstallRun, ExistingScreenSaverAsksBeforeReplacing) {
  fs::create_directories(windows_);
  std::ofstream(windows_ / "AURORA.SCR") << "old";
  const RunResult run = install({"--answers", "nee,ok"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<json> lines = log_lines(log_);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0]["caption"], "Screen saver vervangen?");
  EXPECT_EQ(lines[0]["buttons"], json::array({"Ja", "Nee"}));
  EXPECT_EQ(lines[0]["answer"], "Nee");
  EXPECT_EQ(lines[1]["caption"], "Hernoem installatieprogramma.");
  EXPECT_EQ(file_text(windows_ / "AURORA.SCR"), "old");
}

}  // namespace

namespace {

// The dialogs shown are the package's own: another stub's texts, or none when damaged.
TEST_F(InstallRun, DialogsComeFromThePackagesOwnTemplates) {
  const struct {
    std::string progress_text;
    bool damaged;
    const char* expected;
  } cases[] = {{"Uitpakken", false, "|   Uitpakken\n|   Aurora Screen Saver\n"},
               {"Installeren", true,
                "+-- dialog 103: the package has no readable template for it (result -1)\n"}};
  for (const auto& c : cases) {
    testsupport::PackageOptions options;
    options.stub.progress_text = c.progress_text;
    options.stub.damaged_dialogs = c.damaged;
    testsupport::write_file(package_.string(), testsupport::build_package(
                                                   {{sample_bytes(1000, 1), 0, ".SCR"}}, options));
    const RunResult run = install({"-y"});
    EXPECT_NE(run.out.find(c.expected), std::string::npos) << run.out << run.err;
  }
}

TEST(InstallDamaged, DamagedPackageIsRefusedWithStatusTwo) {
  ScratchDir dir;
  const testsupport::Bytes sound = testsupport::build_package({{sample_bytes(1000, 1), 0, ".SCR"}});
  const fs::path package = dir / "Aurora.exe";
  testsupport::write_file(package.string(), testsupport::Bytes(sound.begin(), sound.end() - 10));
  const fs::path log = dir / "log.jsonl";
  const RunResult run = run_scrpkg({"install", package.string(), "--windows-dir",
                                    (dir / "WINDOWS").string(), "-y", "--log", log.string()});
  EXPECT_EQ(run.status, 2) << run.out << run.err;
  EXPECT_FALSE(fs::exists(dir / "WINDOWS" / "AURORA.SCR"));
  const std::vector<json> lines = log_lines(log);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0]["caption"], "Beschadigd installatieprogramma");
  EXPECT_EQ(lines[0]["icon"], "error");
  EXPECT_EQ(lines[1], json({{"event", "exit"}, {"status", 2}}));
}

}  // namespace
