#include "installer/format.hpp"

#include <cstring>

namespace installer {

void group_thousands(std::uint32_t value, char (&out)[kGroupedSize]) {
  char digits[11];  // 4294967295 and its NUL
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + value % 10);  // least significant first
    value /= 10;
  } while (value != 0);

  std::size_t length = 0;
  for (int i = count - 1; i >= 0; --i) {
    out[length++] = digits[i];
    if (i > 0 && i % 3 == 0) out[length++] = ',';
  }
  out[length] = '\0';
}

void trim_trailing_blanks(char* text) {
  std::size_t length = std::strlen(text);
  while (length > 0 && text[length - 1] == ' ') text[--length] = '\0';
}

}  // namespace installer
