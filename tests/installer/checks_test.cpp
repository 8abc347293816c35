// The pre-install checks in the sandbox: the questions asked and where each answer leads.
#include <gtest/gtest.h>

#include "platform/posix/sandbox.hpp"
#include "tests/installer/sandbox_run.hpp"

namespace installer_test {
namespace {

constexpr int kOk = 1, kCancel = 2, kYes = 6, kNo = 7;
constexpr unsigned kOkCancelInfo = 0x41, kOkInfo = 0x40, kYesNoQuestion = 0x24,
                   kYesNoCancelQuestion = 0x23, kOkError = 0x10;

Box confirm_aurora(const std::string& total) {
  return {"Aurora Screen Saver Installatie",
          testsupport::confirmation_text("AURORA.SCR", "Aurora", total), kOkCancelInfo};
}

const Box kConfirmAurora2048 = confirm_aurora("2,097,152");

Box disk_full(const std::string& needed, const std::string& available) {
  return {"Schijf vol", testsupport::disk_full_text(needed, available), kOkCancelInfo};
}

struct DiskCase {
  const char* name;
  std::uint32_t installed_bytes;
  std::uint64_t free_kb;
  bool without_ex_call;
  std::deque<int> answers;
  std::vector<Box> expected;
  int status;
};

class DiskSpace : public ::testing::TestWithParam<DiskCase> {};

TEST_P(DiskSpace, AsksUnlessMoreIsFreeThanNeeded) {
  SandboxRun sandbox;
  sandbox.config.machine.free_kb = GetParam().free_kb;
  if (GetParam().without_ex_call) sandbox.config.machine.missing.insert("GetDiskFreeSpaceExA");
  sandbox.write_package("Aurora.exe", sized_package(GetParam().installed_bytes));
  EXPECT_EQ(sandbox.run(GetParam().answers), GetParam().status);
  EXPECT_EQ(sandbox.boxes(), GetParam().expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Figures, DiskSpace,
    ::testing::Values(
        // 2,097,152 bytes need 2,048 KB; equal free space asks.
        DiskCase{"EqualAsksAndCancelStops", 2097152, 2048, false, {kCancel},
                 {disk_full("2,048", "2,048")}, 0},
        DiskCase{"EqualAsksAndOkGoesOn", 2097152, 2048, false, {kOk, kCancel},
                 {disk_full("2,048", "2,048"), kConfirmAurora2048}, 0},
        DiskCase{"OneMoreDoesNotAsk", 2097152, 2049, false, {kCancel}, {kConfirmAurora2048}, 0},
        DiskCase{"LessShowsGrouping", 2097152, 1500, false, {kCancel},
                 {disk_full("2,048", "1,500")}, 0},
        // 2^32 + 5 KB would wrap to 5 KB; it saturates and is plenty.
        DiskCase{"HugeFigureSaturates", 2097152, 0x100000005ull, false, {kCancel},
                 {kConfirmAurora2048}, 0},
        // The cluster figure counts whole 4 KB clusters: 2,049 KB free shows as 2,048.
        DiskCase{"ClusterFigureWithoutExCall", 2097152, 2049, true, {kCancel},
                 {disk_full("2,048", "2,048")}, 0},
        DiskCase{"ClusterFigureEnough", 2097152, 2052, true, {kCancel}, {kConfirmAurora2048}, 0},
        // Needed kilobytes are truncated: 1,023 bytes more still need 2,048 KB.
        DiskCase{"NeededTruncated", 2098175, 2049, false, {kCancel},
                 {confirm_aurora("2,098,175")}, 0},
        DiskCase{"NeededTruncatedLess", 2098175, 2000, false, {kCancel},
                 {disk_full("2,048", "2,000")}, 0}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

const char kOpenGlMissing[] =
    "Deze screen saver gebruikt het bestand OPENGL32.DLL. Klik op de \"JA\" toets om dit "
    "bestand de downloaden bij http://www.lumivane.example/supfiles/, en start daarna het "
    "installatieprogramma opnieuw op. Klik op \"Nee\" om de screen saver toch te installeren, "
    "hoewel hij NIET zal werken! Klik op \"Annuleer\" om de installatie af te breken.";
const char kGluMissing[] =
    "Deze screen saver draait niet zonder het bestand GLU32.DLL. Klik op de \"Ja\" toets om het "
    "bestand te downloaden bij http://www.lumivane.example/supfiles/, en start daarna het "
    "installatieprogramma opnieuw op. Klik op \"Nee\" om de screen saver toch te installeren, "
    "hoewel hij NIET zal werken! Klik op \"Annuleer\" om de installatie af te breken.";

const Box kOpenGlBox{"Ontbrekend bestand", kOpenGlMissing, kYesNoCancelQuestion};
const Box kGluBox{"Ontbrekend bestand", kGluMissing, kYesNoCancelQuestion};
const Box kOutdatedBox{"Veroudert bestand",
                       "Het OPENGL32.DLL bestand op je systeem is veroudert. Doorgaan ?",
                       kYesNoQuestion};
const Box kNoConnection{"http://www.lumivane.example/supfiles",
                        "Kan geen verbinding maken met de website.", kOkError};

struct LibraryCase {
  const char* name;
  std::set<std::string> missing;
  bool shell_fails;
  std::deque<int> answers;
  std::vector<Box> expected;
  bool download_opened;
};

class Libraries : public ::testing::TestWithParam<LibraryCase> {};

TEST_P(Libraries, AskAndStopOrGoOn) {
  SandboxRun sandbox;
  sandbox.config.machine.missing = GetParam().missing;
  sandbox.config.machine.shell_open_fails = GetParam().shell_fails;
  sandbox.write_package("Aurora.exe", sized_package(2097152));
  EXPECT_EQ(sandbox.run(GetParam().answers), 0);
  EXPECT_EQ(sandbox.boxes(), GetParam().expected);
  EXPECT_EQ(platform::posix::open_library_count(), 0);

  const Event* opened = sandbox.first(Event::Kind::shell_open);
  ASSERT_EQ(opened != nullptr, GetParam().download_opened);
  if (opened != nullptr) {
    EXPECT_EQ(opened->address, "http://www.lumivane.example/supfiles");
    EXPECT_EQ(opened->show_command, 3);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, Libraries,
    ::testing::Values(
        LibraryCase{"AllPresent", {}, false, {kCancel}, {kConfirmAurora2048}, false},
        LibraryCase{"OpenGlMissingCancel", {"OPENGL32.DLL"}, false, {kCancel}, {kOpenGlBox}, false},
        LibraryCase{"OpenGlMissingDownload", {"OPENGL32.DLL"}, false, {kYes}, {kOpenGlBox}, true},
        LibraryCase{"OpenGlMissingDownloadFails",
                    {"OPENGL32.DLL"},
                    true,
                    {kYes, kOk},
                    {kOpenGlBox, kNoConnection},
                    true},
        LibraryCase{"OpenGlMissingInstallAnyway",
                    {"OPENGL32.DLL"},
                    false,
                    {kNo, kCancel},
                    {kOpenGlBox, kConfirmAurora2048},
                    false},
        LibraryCase{"OutdatedGoOn",
                    {"glGenTextures"},
                    false,
                    {kYes, kCancel},
                    {kOutdatedBox, kConfirmAurora2048},
                    false},
        LibraryCase{"OutdatedStop", {"glGenTextures"}, false, {kNo}, {kOutdatedBox}, false},
        LibraryCase{"OutdatedThenGluMissing",
                    {"glGenTextures", "GLU32.DLL"},
                    false,
                    {kYes, kCancel},
                    {kOutdatedBox, kGluBox},
                    false},
        LibraryCase{"GluMissingCancel", {"GLU32.DLL"}, false, {kCancel}, {kGluBox}, false},
        LibraryCase{"GluMissingDownload", {"GLU32.DLL"}, false, {kYes}, {kGluBox}, true},
        LibraryCase{"GluMissingDownloadFails",
                    {"GLU32.DLL"},
                    true,
                    {kYes, kOk},
                    {kGluBox, kNoConnection},
                    true},
        LibraryCase{"GluMissingInstallAnyway",
                    {"GLU32.DLL"},
                    false,
                    {kNo, kCancel},
                    {kGluBox, kConfirmAurora2048},
                    false},
        LibraryCase{"BothMissingInstallAnyway",
                    {"OPENGL32.DLL", "GLU32.DLL"},
                    false,
                    {kNo, kNo, kCancel},
                    {kOpenGlBox, kGluBox, kConfirmAurora2048},
                    false}),
    [](const auto& info) { return std::string(info.param.name); });

struct ExistingCase {
  const char* name;
  const char* package;
  const char* existing;
  std::deque<int> answers;
  std::vector<Box> expected;
};

const Box kConfirmMy{"Aurora Screen Saver Installatie",
                     testsupport::confirmation_text("MY.SCR", "Aurora", "2,097,152"),
                     kOkCancelInfo};

Box replace_question(const std::string& name) {
  return {"Screen saver vervangen?",
          "Er is reeds een screen saver met dezelfde naam (" + name +
              ") op je systeem aanwezig.  Wil je deze vervangen?",
          kYesNoQuestion};
}

Box rename_hint(const std::string& name) {
  return {"Hernoem installatieprogramma.",
          "Indien je de naam van het .SCR-bestand dat ge\xEF"
          "nstalleerd word wil vervangen, verander dan de bestandsnaam van het "
          "installatieprogramma (" +
              name + ") en start het opnieuw op.",
          kOkInfo};
}

class ExistingSaver : public ::testing::TestWithParam<ExistingCase> {};

TEST_P(ExistingSaver, AsksAboutTheFileThatWouldBeOverwritten) {
  SandboxRun sandbox;
  sandbox.write_package(GetParam().package, sized_package(2097152));
  if (GetParam().existing[0] != '\0') sandbox.put_in_windows(GetParam().existing, "old");
  EXPECT_EQ(sandbox.run(GetParam().answers), 0);
  EXPECT_EQ(sandbox.boxes(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ExistingSaver,
    ::testing::Values(
        ExistingCase{"NoneThere", "Aurora.exe", "", {kCancel}, {kConfirmAurora2048}},
        ExistingCase{"AnsweredYes",
                     "Aurora.exe",
                     "AURORA.SCR",
                     {kYes, kCancel},
                     {replace_question("Aurora.SCR"), kConfirmAurora2048}},
        // Only No keeps the old file; even an answer the box does not offer goes on.
        ExistingCase{"AnsweredOtherwise",
                     "Aurora.exe",
                     "AURORA.SCR",
                     {kOk, kCancel},
                     {replace_question("Aurora.SCR"), kConfirmAurora2048}},
        ExistingCase{"AnsweredNo",
                     "Aurora.exe",
                     "AURORA.SCR",
                     {kNo, kOk},
                     {replace_question("Aurora.SCR"), rename_hint("Aurora.EXE")}},
        ExistingCase{"MultiDotAnsweredNo",
                     "My.Saver.exe",
                     "MY.SCR",
                     {kNo, kOk},
                     {replace_question("My.SCR"), rename_hint("My.Saver.EXE")}},
        // Only the file the installation writes matters, not one named after the base name.
        ExistingCase{
            "MultiDotOtherFileIgnored", "My.Saver.exe", "My.Saver.SCR", {kCancel}, {kConfirmMy}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace installer_test
