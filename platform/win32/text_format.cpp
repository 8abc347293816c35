// The stub's formatter: %s and %% over a bounded output buffer.
#include "platform/win32/text_format.hpp"

namespace platform::win32 {

namespace {

// Where formatted text goes: every character counts, only those that fit are stored.
struct Output {
  char* next;        // the next free character of the buffer
  std::size_t room;  // characters that may still be stored, the final NUL's place excluded
  int length;        // characters of the whole text so far, stored or not
};

void put(Output& out, char c) {
  if (out.room != 0) {
    *out.next++ = c;
    --out.room;
  }
  ++out.length;
}

}  // namespace

int format_text(char* buffer, std::size_t size, const char* format, std::va_list args) {
  Output out{buffer, size == 0 ? 0 : size - 1, 0};
  for (const char* at = format; *at != '\0'; ++at) {
    if (at[0] == '%' && at[1] == 's') {
      for (const char* text = va_arg(args, const char*); *text != '\0'; ++text) put(out, *text);
      ++at;
    } else if (at[0] == '%' && at[1] == '%') {
      put(out, '%');
      ++at;
    } else {
      put(out, *at);
    }
  }
  if (size != 0) *out.next = '\0';
  return out.length;
}

}  // namespace platform::win32
