// The cross-built stubs under test, read once per test program.
#pragma once

#include "tests/stub/pe_view.hpp"

#include <string>

namespace stubtest {

struct StubImage {
  const char* label;  // "i686" or "x86_64"
  std::string path;   // empty when this build has no such stub
  Bytes bytes;
  PeView view;
};

// Null when the stub was not built here (no cross compiler).
const StubImage* i686_stub();
const StubImage* x86_64_stub();

}  // namespace stubtest
