#include "pack/stub_source.hpp"

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "scrpkg/embedded_stub.hpp"
#include "tools/encoder/package_error.hpp"

namespace scrpkg::pack {
namespace {

// The locator reads files, so the built-in stub goes to a temporary file for the check.
packer::StubLayout load_embedded_stub(packer::Bytes& stub) {
  if (kEmbeddedStubSize == 0) {
    throw packer::PackError(
        "this scrpkg was built without an installer stub; give one with --stub");
  }
  namespace fs = std::filesystem;
  const fs::path temp =
      fs::temp_directory_path() / ("scrpkg-stub-" + std::to_string(getpid()) + ".exe");
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(kEmbeddedStub),
              static_cast<std::streamsize>(kEmbeddedStubSize));
    if (!out) throw packer::PackError("cannot write a temporary copy of the built-in stub");
  }
  try {
    const packer::StubLayout layout =
        packer::inspect_stub_file(temp.string(), stub, "the built-in stub");
    fs::remove(temp);
    return layout;
  } catch (...) {
    std::error_code ignored;
    fs::remove(temp, ignored);
    throw;
  }
}

}  // namespace

packer::StubLayout load_stub(const std::string& path, packer::Bytes& stub) {
  if (path.empty()) return load_embedded_stub(stub);
  return packer::inspect_stub_file(path, stub);
}

}  // namespace scrpkg::pack
