// A message box as the user saw it, for comparing transcripts in tests.
#pragma once

#include <ostream>
#include <string>

namespace testsupport {

struct Box {
  std::string caption;
  std::string text;
  unsigned type;
};

bool operator==(const Box& a, const Box& b);
void PrintTo(const Box& box, std::ostream* out);

}  // namespace testsupport
