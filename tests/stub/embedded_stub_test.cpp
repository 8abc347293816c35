// The copy of the i686 stub built into the host programs.
#include "scrpkg/embedded_stub.hpp"
#include "tests/stub/stub_image.hpp"

#include <gtest/gtest.h>

namespace stubtest {
namespace {

TEST(EmbeddedStub, IsTheBuiltStubByteForByte) {
  const StubImage* stub = i686_stub();
  if (stub == nullptr) {
    EXPECT_EQ(kEmbeddedStubSize, 0ul) << "no stub was built, yet one is embedded";
    return;
  }
  ASSERT_EQ(kEmbeddedStubSize, stub->bytes.size());
  EXPECT_EQ(Bytes(kEmbeddedStub, kEmbeddedStub + kEmbeddedStubSize), stub->bytes);
}

}  // namespace
}  // namespace stubtest
