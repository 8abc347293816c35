#include "tests/support/message_box.hpp"

namespace testsupport {

bool operator==(const Box& a, const Box& b) {
  return a.caption == b.caption && a.text == b.text && a.type == b.type;
}

void PrintTo(const Box& box, std::ostream* out) {
  *out << "{caption \"" << box.caption << "\", text \"" << box.text << "\", type 0x" << std::hex
       << box.type << std::dec << "}";
}

}  // namespace testsupport
