// Whole install sequences in the sandbox, checked against what the user would have seen.
#include <gtest/gtest.h>

#include <filesystem>

#include "installer/sequence.hpp"
#include "tests/installer/sandbox_run.hpp"

namespace installer_test {
namespace {

constexpr int kOk = 1, kCancel = 2, kYes = 6;
constexpr unsigned kOkCancelInfo = 0x41, kOkExclamation = 0x30, kOkError = 0x10;

const char kAuroraCaption[] = "Aurora Screen Saver Installatie";

std::string confirmation(const std::string& display, const std::string& total) {
  return testsupport::confirmation_text("AURORA.SCR", display, total);
}

const std::string kAuroraCompletion = testsupport::completion_text("C:\\windows", "AURORA");

TEST(InstallSequence, CancelAtTheConfirmationWritesNothingAndShowsNoDialog) {
  SandboxRun sandbox;
  sandbox.write_package("Aurora.exe", stored_saver(1000, 300));
  EXPECT_EQ(sandbox.run({kCancel}), 0);
  EXPECT_EQ(sandbox.boxes(),
            (std::vector<Box>{{kAuroraCaption, confirmation("Aurora", "1,300"), kOkCancelInfo}}));
  EXPECT_EQ(sandbox.first(Event::Kind::dialog), nullptr);
  EXPECT_EQ(sandbox.windows_entries(), 0);
}

TEST(InstallSequence, CompletedInstallationRunsEveryStepInOrder) {
  SandboxRun sandbox;
  sandbox.write_package("Aurora.exe", stored_saver(5000, 300));
  EXPECT_EQ(sandbox.run({kOk, kOk}), 0);

  using K = Event::Kind;
  EXPECT_EQ(sandbox.kinds(),
            (std::vector<K>{K::message_box, K::cursor, K::paint, K::registration, K::dialog,
                            K::cursor, K::message_box, K::dialog, K::launch}));
  EXPECT_EQ(sandbox.boxes(),
            (std::vector<Box>{{kAuroraCaption, confirmation("Aurora", "5,300"), kOkCancelInfo},
                              {kAuroraCaption, kAuroraCompletion, kOkExclamation}}));
  EXPECT_EQ(sandbox.events[1].waiting, true);   // wait cursor before the progress dialog
  EXPECT_EQ(sandbox.events[5].waiting, false);  // arrow cursor after it
  ASSERT_NE(sandbox.dialog(104), nullptr);
  const Event* launch = sandbox.first(K::launch);
  EXPECT_EQ(launch->address, "AURORA.SCR");
  EXPECT_EQ(launch->show_command, 5);
  EXPECT_EQ(sandbox.windows_file("AURORA.SCR").size(), 5000u);
  EXPECT_EQ(sandbox.windows_file("TOLVERAN/LUMIVANE/Aurora/Aurora.DAT").size(), 300u);
  EXPECT_EQ(installer::installer_module(), sandbox.module());
}

struct NameCase {
  const char* stored_name;
  const char* caption;
  const char* shown_in_confirmation;
};

class DisplayNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(DisplayNames, TrailingBlanksAreRemovedBeforeShowing) {
  SandboxRun sandbox;
  testsupport::PackageOptions options;
  options.name = GetParam().stored_name;
  sandbox.write_package("Aurora.exe", stored_saver(1000, 24), options);
  EXPECT_EQ(sandbox.run({kCancel}), 0);
  EXPECT_EQ(
      sandbox.boxes(),
      (std::vector<Box>{{GetParam().caption,
                         confirmation(GetParam().shown_in_confirmation, "1,024"), kOkCancelInfo}}));
}

INSTANTIATE_TEST_SUITE_P(
    Padding, DisplayNames,
    ::testing::Values(NameCase{"Aurora", "Aurora Screen Saver Installatie", "Aurora"},
                      NameCase{"Aurora    ", "Aurora Screen Saver Installatie", "Aurora"},
                      NameCase{"Deep  Sea  ", "Deep  Sea Screen Saver Installatie", "Deep  Sea"},
                      NameCase{"      ", " Screen Saver Installatie", ""},
                      NameCase{"Exactly thirty-two characters!!!",
                               "Exactly thirty-two characters!!! Screen Saver Installatie",
                               "Exactly thirty-two characters!!!"}));

struct TotalCase {
  std::uint32_t installed_bytes;
  const char* shown;
};

class InstalledTotals : public ::testing::TestWithParam<TotalCase> {};

TEST_P(InstalledTotals, ConfirmationGroupsTheByteTotalByThousands) {
  SandboxRun sandbox;
  sandbox.config.machine.free_kb = 0xFFFFFFFFull;
  sandbox.write_package("Aurora.exe", sized_package(GetParam().installed_bytes));
  EXPECT_EQ(sandbox.run({kCancel}), 0);
  EXPECT_EQ(sandbox.boxes(),
            (std::vector<Box>{
                {kAuroraCaption, confirmation("Aurora", GetParam().shown), kOkCancelInfo}}));
}

INSTANTIATE_TEST_SUITE_P(Totals, InstalledTotals,
                         ::testing::Values(TotalCase{123, "123"}, TotalCase{1234567, "1,234,567"},
                                           TotalCase{300000000u, "300,000,000"}));

TEST(InstallSequence, DataFolderOfAMultiDotNameIsUpperCasedInTheCompletion) {
  SandboxRun sandbox;
  sandbox.write_package("My.Saver.exe", stored_saver(100, 20));
  EXPECT_EQ(sandbox.run({kOk, kOk}), 0);
  ASSERT_EQ(sandbox.boxes().size(), 2u);
  EXPECT_EQ(sandbox.boxes()[1].text, testsupport::completion_text("C:\\windows", "MY.SAVER"));
  EXPECT_EQ(sandbox.first(Event::Kind::launch)->address, "MY.SCR");
}

TEST(InstallSequence, ADamagedPackageIsReportedAndNothingIsWritten) {
  SandboxRun sandbox;
  sandbox.write_package("Aurora.exe", stored_saver(1000, 300));
  std::filesystem::resize_file(
      sandbox.config.machine.module_host_path,
      std::filesystem::file_size(sandbox.config.machine.module_host_path) - 100);
  EXPECT_EQ(sandbox.run({kOk}), 2);
  EXPECT_EQ(sandbox.boxes(), std::vector<Box>{testsupport::damaged_box("Aurora.exe")});
  EXPECT_EQ(sandbox.windows_entries(), 0);
}

TEST(InstallSequence, ADataFolderTooDeepIsReportedBeforeTheConfirmation) {
  SandboxRun sandbox;
  // The data folder fits, but the data file inside it (base name twice) does not.
  const std::string base(120, 'L');
  sandbox.write_package(base + ".exe", stored_saver(100, 20));
  EXPECT_EQ(sandbox.run({kOk}), 1);
  EXPECT_EQ(sandbox.boxes(), std::vector<Box>{testsupport::too_long_box(
                                 kAuroraCaption, "C:\\windows\\TOLVERAN\\LUMIVANE\\" + base)});
  EXPECT_EQ(sandbox.windows_entries(), 0);
}

TEST(InstallSequence, AWindowsDirectoryTooDeepForTheScreenSaverIsNamed) {
  const std::string folder(250, 'w');
  SandboxRun sandbox(folder);
  sandbox.write_package("Aurora.exe", stored_saver(100, 20));
  EXPECT_EQ(sandbox.run({kOk}), 1);
  EXPECT_EQ(sandbox.boxes(),
            std::vector<Box>{testsupport::too_long_box(kAuroraCaption, "C:\\" + folder)});
  EXPECT_EQ(sandbox.windows_entries(), 0);
}

TEST(InstallSequence, AShortWriteEndsTheInstallationAfterTheProgressDialog) {
  SandboxRun sandbox;
  sandbox.config.faults.write_limit = 700;
  sandbox.write_package("Aurora.exe", stored_saver(5000, 300));
  EXPECT_EQ(sandbox.run({kOk, kOk}), 1);

  using K = Event::Kind;
  EXPECT_EQ(sandbox.kinds(), (std::vector<K>{K::message_box, K::cursor, K::paint, K::dialog,
                                             K::cursor, K::message_box}));
  EXPECT_EQ(sandbox.boxes()[1],
            (Box{kAuroraCaption,
                 "Het bestand C:\\WINDOWS\\AURORA.SCR kon niet volledig worden geschreven. "
                 "Controleer of er genoeg ruimte vrij is op de schijf en start het "
                 "installatieprogramma daarna opnieuw op.",
                 kOkError}));
}

TEST(InstallSequence, ExistingScreenSaverAnsweredYesIsReplaced) {
  SandboxRun sandbox;
  sandbox.put_in_windows("Aurora.SCR", "old");
  sandbox.write_package("Aurora.exe", stored_saver(2000, 10));
  EXPECT_EQ(sandbox.run({kYes, kOk, kOk}), 0);
  ASSERT_EQ(sandbox.boxes().size(), 3u);
  EXPECT_EQ(sandbox.boxes()[0].caption, "Screen saver vervangen?");
  EXPECT_EQ(sandbox.windows_file("Aurora.SCR").size(), 2000u);
  EXPECT_NE(sandbox.first(Event::Kind::launch), nullptr);
}

}  // namespace
}  // namespace installer_test
