// A disk that fills up while the data file is written, stored or compressed: the write-error
// message naming that file, status 1, no registration, and the files written or found
// before it intact. The real disk is a 64 KB tmpfs (mounted when running as root); the
// sandbox's write limit stands in for it everywhere.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/matrix/matrix_support.hpp"
#include "tests/support/small_disk.hpp"

namespace matrix {
namespace {

constexpr std::size_t kSaverSize = 8000;
constexpr std::size_t kDataSize = 200000;

enum class Disk { tmpfs_64k, write_limit };
enum class Body { stored, compressed };

struct Full {
  Disk disk;
  Body body;
};

using testsupport::SmallDisk;

Bytes package_for(Body body) {
  const PayloadEntry data = body == Body::stored
                                ? PayloadEntry{pattern_bytes(kDataSize, 2), 0, ".DAT"}
                                : compressed(text_bytes(kDataSize, 2), ".DAT");
  return testsupport::build_package({{pattern_bytes(kSaverSize, 1), 0, ".SCR"}, data});
}

class DiskFull : public ::testing::TestWithParam<Full> {};

TEST_P(DiskFull, WriteErrorNamesTheFileAndNothingElseIsLost) {
  Machine machine;
  std::optional<SmallDisk> disk;
  if (GetParam().disk == Disk::tmpfs_64k) {
    disk.emplace(machine.windows());
    if (!disk->mounted()) {
      GTEST_SKIP() << "mounting a 64 KB tmpfs failed (" << disk->error()
                   << "); run as root for the real disk, the write-limit cases cover the logic";
    }
  }
  machine.put_earlier_installation();
  auto before = machine.drive_files();
  machine.put_package(package_for(GetParam().body));

  const int status = machine.install([](platform::posix::Config& config) {
    if (GetParam().disk == Disk::tmpfs_64k) {
      config.machine.free_kb
          .reset();  // the real, small figure: the disk-space question is answered OK
    } else {
      config.faults.write_limit = kSaverSize + 5000;
    }
  });

  EXPECT_EQ(status, 1);
  ASSERT_FALSE(machine.boxes().empty());
  EXPECT_EQ(machine.boxes().back(),
            (Box{"Aurora Screen Saver Installatie",
                 "Het bestand C:\\WINDOWS\\TOLVERAN\\LUMIVANE\\Aurora\\Aurora.DAT kon niet "
                 "volledig worden geschreven. Controleer of er genoeg ruimte vrij is op de schijf "
                 "en start het installatieprogramma daarna opnieuw op.",
                 kOkError}));
  using Kind = platform::posix::Event::Kind;
  EXPECT_EQ(machine.count(Kind::registration), 0);
  EXPECT_EQ(machine.count(Kind::launch), 0);
  const auto after = machine.drive_files();
  EXPECT_EQ(
      after.at("WINDOWS/AURORA.SCR"),
      std::string(reinterpret_cast<const char*>(pattern_bytes(kSaverSize, 1).data()), kSaverSize));
  EXPECT_LT(after.at("WINDOWS/TOLVERAN/LUMIVANE/Aurora/Aurora.DAT").size(), kDataSize);
  // Everything else is as the earlier installation left it.
  before.erase("WINDOWS/AURORA.SCR");
  before.erase("WINDOWS/TOLVERAN/LUMIVANE/Aurora/Aurora.DAT");
  for (const auto& [path, content] : before) EXPECT_EQ(after.at(path), content) << path;
}

INSTANTIATE_TEST_SUITE_P(Disks, DiskFull,
                         ::testing::Values(Full{Disk::tmpfs_64k, Body::stored},
                                           Full{Disk::tmpfs_64k, Body::compressed},
                                           Full{Disk::write_limit, Body::stored},
                                           Full{Disk::write_limit, Body::compressed}),
                         [](const auto& info) {
                           return std::string(info.param.disk == Disk::tmpfs_64k ? "tmpfs_64k"
                                                                                 : "write_limit") +
                                  (info.param.body == Body::stored ? "_stored" : "_compressed");
                         });

}  // namespace
}  // namespace matrix
