// The shipped stub runs on the 80386: its code holds no instruction a later processor
// brought, alignment padding included. Functions are named from the stub's link map.
#include "tests/stub/stub_image.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <string>

namespace stubtest {
namespace {

// 486: BSWAP, CMPXCHG, XADD; Pentium: CPUID, RDTSC, CMPXCHG8B; Pentium Pro: CMOVcc, FCMOVcc,
// FCOMI, FUCOMI, the multi-byte NOP (0F 1F); MMX and SSE registers. Prefixes may come first.
const std::regex kAfter386(
    R"((^| )(cmov|fcmov|fcomi|fucomi|bswap|cmpxchg|xadd|cpuid|rdtsc|nopw|nopl)|%[xy]?mm\d)");

TEST(ShippedStub, HoldsNoInstructionNewerThanThe386) {
  const StubImage* stub = i686_stub();
  if (stub == nullptr) GTEST_SKIP() << "no i686 stub built";
  std::map<unsigned long, std::string> functions;  // one section each: ".text$<name> 0x<start>"
  std::ifstream map(SCRPKG_STUB_MAP_PATH);
  for (std::string token, start; map >> token;)
    if (token.rfind(".text$", 0) == 0 && map >> start)
      functions[std::stoul(start, nullptr, 16)] = token;
  ASSERT_FALSE(functions.empty()) << SCRPKG_STUB_MAP_PATH;
  FILE* listing = ::popen((SCRPKG_I686_OBJDUMP " -d -j .text " + stub->path).c_str(), "r");
  ASSERT_NE(listing, nullptr);
  const std::regex line(R"(^ *([0-9a-f]+):\t[0-9a-f ]+\t(.+))");
  std::string found;
  int instructions = 0;
  for (char text[512]; std::fgets(text, sizeof text, listing) != nullptr;) {
    std::cmatch m;
    if (!std::regex_search(text, m, line)) continue;
    ++instructions;
    if (!std::regex_search(m[2].first, m[2].second, kAfter386)) continue;
    const auto in = std::prev(functions.upper_bound(std::stoul(m[1].str(), nullptr, 16)));
    found += in->second.substr(6) + " at 0x" + m[1].str() + ": " + m[2].str() + "\n";
  }
  EXPECT_EQ(::pclose(listing), 0);
  EXPECT_GT(instructions, 1000) << "the disassembly came out short";
  EXPECT_TRUE(found.empty()) << "instructions the 386 lacks:\n" << found;
}

}  // namespace
}  // namespace stubtest
