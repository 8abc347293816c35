#include "installer/free_space.hpp"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

struct ParentCase {
  const char* directory;
  bool found;
  const char* parent;
};

class FreeSpaceParent : public ::testing::TestWithParam<ParentCase> {};

TEST_P(FreeSpaceParent, CutsTheFirst32CharactersAfterTheLastBackslash) {
  char parent[installer::kFreeSpacePathChars + 1];
  EXPECT_EQ(installer::free_space_parent(GetParam().directory, parent), GetParam().found);
  if (GetParam().found) {
    EXPECT_STREQ(parent, GetParam().parent);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, FreeSpaceParent,
    ::testing::Values(ParentCase{"C:\\WINDOWS", true, "C:\\"},
                      ParentCase{"D:\\OS\\WINDOWS", true, "D:\\OS\\"},
                      ParentCase{"C:\\", true, "C:\\"},
                      ParentCase{"C:\\WINDOWS\\", true, "C:\\WINDOWS\\"},
                      ParentCase{"WINDOWS", false, ""},
                      // 31 characters then a backslash: it is the 32nd and still counts.
                      ParentCase{"C:\\abcdefghijklmnopqrstuvwxyz01\\WIN", true,
                                 "C:\\abcdefghijklmnopqrstuvwxyz01\\"},
                      // The only backslash past the 32nd character is not seen.
                      ParentCase{"C:\\abcdefghijklmnopqrstuvwxyz012\\WIN", true, "C:\\"},
                      ParentCase{"abcdefghijklmnopqrstuvwxyz0123456\\WIN", false, ""}));

struct KilobyteCase {
  std::uint64_t bytes;
  std::uint32_t kilobytes;
};

class KilobytesSaturated : public ::testing::TestWithParam<KilobyteCase> {};

TEST_P(KilobytesSaturated, ShiftsAndSaturates) {
  EXPECT_EQ(installer::kilobytes_saturated(GetParam().bytes), GetParam().kilobytes);
}

INSTANTIATE_TEST_SUITE_P(Sizes, KilobytesSaturated,
                         ::testing::Values(KilobyteCase{0, 0u}, KilobyteCase{1023, 0u},
                                           KilobyteCase{1024, 1u}, KilobyteCase{2097152, 2048u},
                                           KilobyteCase{0x3FFFFFFFFFFull, 0xFFFFFFFFu},
                                           KilobyteCase{0x40000000000ull, 0xFFFFFFFFu},
                                           KilobyteCase{0x40000000400ull, 0xFFFFFFFFu}));

}  // namespace
