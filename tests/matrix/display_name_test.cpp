// Display names with bytes 0x80 to 0xFF are Windows-1252 text, not damage: they install, and
// every box and the progress dialog carry the bytes unchanged.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/matrix/matrix_support.hpp"

namespace matrix {
namespace {

struct Name {
  std::string label;
  std::string stored;  // the display name field as stored
  std::string shown;   // as the installer shows it
};

void PrintTo(const Name& n, std::ostream* out) {
  *out << n.label;
}

std::string byte_run(int first, int count) {
  std::string run;
  for (int b = first; b < first + count; ++b) run += static_cast<char>(b);
  return run;
}

// Four full 32-byte fields cover 0x80 to 0xFF; only 0x20 counts as a trailing blank.
std::vector<Name> names() {
  std::vector<Name> cases;
  for (int first = 0x80; first < 0x100; first += 0x20) {
    cases.push_back({"bytes_" + std::to_string(first), byte_run(first, 32), byte_run(first, 32)});
  }
  cases.push_back({"blanks_after_high_bytes", "Cr\xE8me \xEF\xFF   ", "Cr\xE8me \xEF\xFF"});
  cases.push_back({"no_break_space_is_kept", "Aurora\xA0", "Aurora\xA0"});
  return cases;
}

Bytes package_named(const std::string& name) {
  testsupport::PackageOptions options;
  options.name = name;
  return testsupport::build_package(
      {{pattern_bytes(1000, 1), 0, ".SCR"}, {pattern_bytes(300, 2), 0, ".DAT"}}, options);
}

class HighByteNames : public ::testing::TestWithParam<Name> {};

TEST_P(HighByteNames, InstallShowsTheNameByteForByte) {
  const std::string& shown = GetParam().shown;
  const std::string caption = shown + " Screen Saver Installatie";
  Machine machine;
  machine.put_package(package_named(GetParam().stored));

  EXPECT_EQ(machine.install(), 0);

  const std::vector<Box> expected = {
      {caption, testsupport::confirmation_text("AURORA.SCR", shown, "1,300"), 0x41},
      {caption, testsupport::completion_text("C:\\WINDOWS", "AURORA"), 0x30}};
  EXPECT_EQ(machine.boxes(), expected);
  const platform::posix::Event* progress = nullptr;
  for (const auto& e : machine.events()) {
    if (e.kind == platform::posix::Event::Kind::dialog && e.resource == 103) progress = &e;
  }
  ASSERT_NE(progress, nullptr);
  EXPECT_EQ(progress->caption, caption);
  EXPECT_EQ(progress->items,
            (std::vector<std::pair<int, std::string>>{{1001, shown + " Screen Saver"}}));
  EXPECT_EQ(fs::file_size(machine.windows() / "AURORA.SCR"), 1000u);
}

TEST_P(HighByteNames, InspectorFindsThePackageSound) {
  Machine machine;
  machine.put_package(package_named(GetParam().stored));
  const fs::path out = machine.drive() / "out";

  const RunResult test = run_scrpkg({"test", "-q", machine.package().string()});
  const RunResult extract =
      run_scrpkg({"extract", "-q", machine.package().string(), "-d", out.string()});

  EXPECT_EQ(test.status, 0) << test.err;
  EXPECT_EQ(extract.status, 0) << extract.err;
  EXPECT_EQ(fs::file_size(out / "AURORA.SCR"), 1000u);
  EXPECT_EQ(fs::file_size(out / "TOLVERAN" / "LUMIVANE" / "Aurora" / "Aurora.DAT"), 300u);
}

INSTANTIATE_TEST_SUITE_P(Names, HighByteNames, ::testing::ValuesIn(names()),
                         [](const auto& info) { return info.param.label; });

}  // namespace
}  // namespace matrix
