// The stub's own formatter against the host's vsnprintf, text and length alike.
#include "platform/win32/text_format.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace {

struct FormatCase {
  const char* label;
  std::size_t size;  // the buffer size passed; the buffer itself is always larger
  const char* format;
  const char* first;
  const char* second;
};

using Formatter = int (*)(char*, std::size_t, const char*, std::va_list);

int format_with(Formatter format, char* out, std::size_t size, const char* text, ...) {
  std::va_list args;
  va_start(args, text);
  const int length = format(out, size, text, args);
  va_end(args);
  return length;
}

TEST(TextFormat, MatchesTheHostsVsnprintf) {
  const FormatCase cases[] = {
      {"fits", 64, "in %s (%s) uit", "C:\\WIN\\", "Aurora"},
      {"exactly fits", 12, "%s-%s", "abcde", "fghij"},
      {"cut by one", 11, "%s-%s", "abcde", "fghij"},
      {"cut in the format", 3, "ab%scd", "", ""},
      {"room for the NUL only", 1, "%s", "abc", ""},
      {"no room at all", 0, "%s", "abc", ""},
      {"percent sign", 16, "100%% %s", "zeker", ""},
  };
  for (const FormatCase& c : cases) {
    char mine[80], host[80];
    std::memset(mine, 'x', sizeof mine);
    std::memset(host, 'x', sizeof host);
    EXPECT_EQ(format_with(platform::win32::format_text, mine, c.size, c.format, c.first, c.second),
              format_with(std::vsnprintf, host, c.size, c.format, c.first, c.second))
        << c.label;
    EXPECT_EQ(std::memcmp(mine, host, sizeof mine), 0) << c.label;
  }
}

}  // namespace
