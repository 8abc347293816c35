// What the sequence tells the user for each way the extraction can end.
#include "installer/verdicts.hpp"

#include "payload/names.hpp"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/installer/sandbox_run.hpp"

namespace installer_test {
namespace {

using payload::ExtractStatus;

struct OutcomeCase {
  const char* name;
  ExtractStatus status;
  const char* failed_path;
  int exit_status;
  std::vector<Box> expected;
};

class ExtractionOutcomes : public ::testing::TestWithParam<OutcomeCase> {};

TEST_P(ExtractionOutcomes, MapToAMessageAndAnExitStatus) {
  SandboxRun sandbox;
  sandbox.write_package("Deep.Sea.exe", stored_saver(10, 10));
  std::vector<Event> events;
  sandbox.config.observe = [&events](const Event& e) { events.push_back(e); };
  sandbox.config.machine.answer = [](const std::string&, const std::string&, unsigned) {
    return 1;
  };
  platform::posix::configure(sandbox.config);
  payload::derive_target_name(nullptr);  // the name the no-memory text shows

  payload::ExtractResult result{GetParam().status, {}};
  std::strcpy(result.failed_path, GetParam().failed_path);
  static int module_marker = 0;
  EXPECT_EQ(installer::report_extraction_failure(&module_marker, "Deep Screen Saver Installatie",
                                                 &result),
            GetParam().exit_status);
  std::vector<Box> shown;
  for (const Event& e : events) shown.push_back({e.caption, e.text, e.type});
  EXPECT_EQ(shown, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Statuses, ExtractionOutcomes,
    ::testing::Values(
        OutcomeCase{"Done", ExtractStatus::done, "", 0, {}},
        OutcomeCase{"NoWindowsDirectory", ExtractStatus::no_windows_directory, "", 0, {}},
        OutcomeCase{"ShortWrite",
                    ExtractStatus::write_failed,
                    "C:\\WINDOWS\\TOLVERAN\\LUMIVANE\\Deep.Sea\\FILE0003.BMP",
                    1,
                    {{"Deep Screen Saver Installatie",
                      "Het bestand C:\\WINDOWS\\TOLVERAN\\LUMIVANE\\Deep.Sea\\FILE0003.BMP kon "
                      "niet volledig worden geschreven. Controleer of er genoeg ruimte vrij is op "
                      "de schijf en start het installatieprogramma daarna opnieuw op.",
                      0x10}}},
        OutcomeCase{"PathTooLong",
                    ExtractStatus::path_too_long,
                    "C:\\W\\TOLVERAN\\LUMIVANE\\Deep.Sea",
                    1,
                    {testsupport::too_long_box("Deep Screen Saver Installatie",
                                               "C:\\W\\TOLVERAN\\LUMIVANE\\Deep.Sea")}},
        // clang-format off
        OutcomeCase{"NotCreated", ExtractStatus::create_failed, "C:\\X.SCR", 1,
                    {testsupport::not_created_box("Deep Screen Saver Installatie", "C:\\X.SCR")}},
        OutcomeCase{"PayloadMissing", ExtractStatus::payload_missing, "", 1,
                    {testsupport::incomplete_box("Deep.Sea.exe")}},
        OutcomeCase{"NoMemory", ExtractStatus::no_memory, "", 1,
                    {testsupport::no_memory_box("DEEP.SCR")}}),
    // clang-format on
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExtractionOutcomes, AProgressDialogThatNeverRanInstalledNothing) {
  SandboxRun sandbox;
  std::vector<Event> events;
  sandbox.config.observe = [&events](const Event& e) { events.push_back(e); };
  platform::posix::configure(sandbox.config);
  static int module_marker = 0;
  EXPECT_EQ(installer::report_extraction_failure(&module_marker, "caption", nullptr), 1);
  EXPECT_TRUE(events.empty());
}

}  // namespace
}  // namespace installer_test
