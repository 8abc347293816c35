// Where pack takes its installer stub from: a file, or the stub built into scrpkg.
#pragma once

#include <string>

#include "tools/encoder/package_builder.hpp"

namespace scrpkg::pack {

// Loads and inspects the stub at `path`, or the built-in stub when `path` is empty.
// Throws packer::PackError when there is none or it is refused.
packer::StubLayout load_stub(const std::string& path, packer::Bytes& stub);

}  // namespace scrpkg::pack
