// Windows directories deep enough that the installer's 260-character paths stop fitting:
// no overflow (the asan preset runs this too), and where a path would not fit, the
// too-long message naming the folder, status 1 and nothing written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/matrix/matrix_support.hpp"

namespace matrix {
namespace {

const char kCaption[] = "Aurora Screen Saver Installatie";

// A Windows folder name that makes "C:\" + name exactly `length` characters long.
std::string folder_name(std::size_t length) {
  std::string name;
  for (std::size_t i = 0; name.size() < length - 3; ++i) name += static_cast<char>('A' + i % 26);
  return name;
}

Bytes three_entry_package() {
  return testsupport::build_package({{pattern_bytes(700, 1), 0, ".SCR"},
                                     compressed(text_bytes(2000, 2), ".DAT"),
                                     {pattern_bytes(90, 3), 0, ".BMP"}});
}

struct Depth {
  std::size_t length;  // of the Windows directory as reported, without a separator
  bool installs;
  std::string too_long;  // the folder the message names: "windows" or "data"
};

void PrintTo(const Depth& d, std::ostream* out) {
  *out << d.length;
}

class DeepWindowsDirectory : public ::testing::TestWithParam<Depth> {};

TEST_P(DeepWindowsDirectory, InstallsWholeOrSaysWhichFolderIsTooLong) {
  const Depth& depth = GetParam();
  const std::string name = folder_name(depth.length);
  const std::string windows = "C:\\" + name;
  ASSERT_EQ(windows.size(), depth.length);
  Machine machine(name);
  machine.put_package(three_entry_package());
  const auto before = machine.drive_files();

  const int status = machine.install();

  if (depth.installs) {
    EXPECT_EQ(status, 0);
    ASSERT_EQ(machine.boxes().size(), 2u);
    EXPECT_EQ(machine.boxes()[1].text.rfind("Installatie volledig!", 0), 0u);
    const fs::path data = machine.windows() / "TOLVERAN" / "LUMIVANE" / "Aurora";
    EXPECT_EQ(fs::file_size(machine.windows() / "AURORA.SCR"), 700u);
    EXPECT_EQ(fs::file_size(data / "Aurora.DAT"), 2000u);
    EXPECT_EQ(fs::file_size(data / "FILE0003.BMP"), 90u);
    return;
  }
  const std::string folder =
      depth.too_long == "data" ? windows + "\\TOLVERAN\\LUMIVANE\\Aurora" : windows;
  EXPECT_EQ(status, 1);
  EXPECT_EQ(machine.boxes(), std::vector<Box>{testsupport::too_long_box(kCaption, folder)});
  EXPECT_EQ(machine.drive_files(), before);
  EXPECT_EQ(machine.count(platform::posix::Event::Kind::registration), 0);
  EXPECT_EQ(machine.count(platform::posix::Event::Kind::launch), 0);
}

// C:\<name>\AURORA.SCR needs 11 characters more, a file in the data folder 38 more; a
// path buffer holds 259 characters and the NUL.
INSTANTIATE_TEST_SUITE_P(Lengths, DeepWindowsDirectory,
                         ::testing::Values(Depth{200, true, ""}, Depth{221, true, ""},
                                           Depth{222, false, "data"}, Depth{240, false, "data"},
                                           Depth{248, false, "data"}, Depth{249, false, "windows"},
                                           Depth{259, false, "windows"},
                                           Depth{300, false, "windows"}),
                         [](const auto& info) { return std::to_string(info.param.length); });

}  // namespace
}  // namespace matrix
