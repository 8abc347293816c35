#include "tests/stub/stub_image.hpp"

namespace stubtest {
namespace {

StubImage load(const char* label, const char* path) {
  StubImage stub{label, path, {}, {}};
  if (!stub.path.empty()) {
    stub.bytes = read_file(stub.path);
    parse_pe(stub.bytes, stub.view);
  }
  return stub;
}

}  // namespace

const StubImage* i686_stub() {
  static const StubImage stub = load("i686", SCRPKG_STUB_PATH);
  return stub.path.empty() ? nullptr : &stub;
}

const StubImage* x86_64_stub() {
  static const StubImage stub = load("x86_64", SCRPKG_STUB64_PATH);
  return stub.path.empty() ? nullptr : &stub;
}

}  // namespace stubtest
