// The shipped stub runs on the 80386: its code holds no instruction a later processor
// brought, alignment padding included. Read from the mingw-w64 objdump's disassembly.
#include "tests/stub/stub_image.hpp"

#include <cxxabi.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <string>

namespace stubtest {
namespace {

// From the 486 on: BSWAP, CMPXCHG, XADD; Pentium: CPUID, RDTSC, CMPXCHG8B; Pentium Pro:
// CMOVcc, FCMOVcc, FCOMI, FUCOMI, the multi-byte NOP (0F 1F); MMX and SSE registers.
// Prefixes (lock, cs) may come first.
const std::regex kAfter386(
    R"((^| )(cmov|fcmov|fcomi|fucomi|bswap|cmpxchg|xadd|cpuid|rdtsc|nopw|nopl)|%[xy]?mm\d)");

// Each function's start in the link map: with one section per function, a token
// ".text$<name>" is followed by the section's address.
std::map<unsigned long, std::string> functions_in_map(const std::string& path) {
  std::map<unsigned long, std::string> functions;
  std::ifstream in(path);
  for (std::string token, address; in >> token;) {
    if (token.rfind(".text$", 0) != 0 || !(in >> address)) continue;
    const std::string mangled = token.substr(6);
    int status = 0;
    char* name = abi::__cxa_demangle(mangled.c_str(), nullptr, nullptr, &status);
    functions[std::stoul(address, nullptr, 16)] = status == 0 ? name : mangled;
    std::free(name);
  }
  return functions;
}

TEST(ShippedStub, HoldsNoInstructionNewerThanThe386) {
  const StubImage* stub = i686_stub();
  if (stub == nullptr) GTEST_SKIP() << "no i686 stub built";
  const auto functions = functions_in_map(SCRPKG_STUB_MAP_PATH);
  ASSERT_FALSE(functions.empty()) << SCRPKG_STUB_MAP_PATH;
  const std::string command = std::string(SCRPKG_I686_OBJDUMP) + " -d -j .text " + stub->path;
  FILE* listing = ::popen(command.c_str(), "r");
  ASSERT_NE(listing, nullptr) << command;
  const std::regex line(R"(^ *([0-9a-f]+):\t[0-9a-f ]+\t(.+))");
  std::string found;
  int instructions = 0;
  for (char text[512]; std::fgets(text, sizeof text, listing) != nullptr;) {
    std::cmatch m;
    if (!std::regex_search(text, m, line)) continue;
    ++instructions;
    if (!std::regex_search(m[2].first, m[2].second, kAfter386)) continue;
    const auto at = functions.upper_bound(std::stoul(m[1].str(), nullptr, 16));
    found += (at == functions.begin() ? "?" : std::prev(at)->second) + " at 0x" + m[1].str() +
             ": " + m[2].str() + "\n";
  }
  EXPECT_EQ(::pclose(listing), 0) << command;
  EXPECT_GT(instructions, 1000) << "the disassembly came out short";
  EXPECT_TRUE(found.empty()) << "instructions the 386 lacks:\n" << found;
}

}  // namespace
}  // namespace stubtest
