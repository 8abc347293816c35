// The stub's own formatter against the host's vsnprintf, text and length alike.
#include "platform/win32/text_format.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

using Formatter = int (*)(char*, std::size_t, const char*, std::va_list);

std::string format_with(Formatter format, std::size_t size, ...) {
  char out[32];
  std::memset(out, 'x', sizeof out);
  std::va_list args;
  va_start(args, size);
  const int length = format(out, size, "%s-%s 100%%", args);  // 16 characters in all
  va_end(args);
  return std::to_string(length) + ":" + std::string(out, sizeof out);
}

TEST(TextFormat, MatchesTheHostsVsnprintfWhetherCutOrNot) {
  for (std::size_t size : {0, 1, 3, 16, 17, 32})
    EXPECT_EQ(format_with(platform::win32::format_text, size, "abcde", "fghij"),
              format_with(std::vsnprintf, size, "abcde", "fghij"))
        << "buffer size " << size;
}

}  // namespace
