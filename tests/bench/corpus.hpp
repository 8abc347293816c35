// The benchmark corpus: about 2.5 MB of mixed samples (text, executables, an image, noise),
// built the same way on every run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

struct Sample {
  std::string name;
  std::vector<std::uint8_t> bytes;
};

std::vector<Sample> bench_corpus();

}  // namespace testsupport
