// The few C library functions the stub's code calls, and those GCC emits calls to itself
// (memcpy, memset, memmove, memcmp), as plain functions: the stub links no C runtime DLL,
// which the first release of Windows 95 does not have. This file is built with
// -fno-builtin and -fno-tree-loop-distribute-patterns so that these loops do not turn back
// into calls to themselves.
#include <cstdarg>
#include <cstddef>

#include "platform/win32/text_format.hpp"

extern "C" {

void* memcpy(void* to, const void* from, std::size_t count) {
  auto* out = static_cast<unsigned char*>(to);
  for (auto* in = static_cast<const unsigned char*>(from); count != 0; --count) *out++ = *in++;
  return to;
}

void* memmove(void* to, const void* from, std::size_t count) {
  auto* out = static_cast<unsigned char*>(to);
  auto* in = static_cast<const unsigned char*>(from);
  if (out <= in) return memcpy(to, from, count);
  while (count != 0) {  // overlapping with the source ahead: copy from the end
    --count;
    out[count] = in[count];
  }
  return to;
}

void* memset(void* to, int value, std::size_t count) {
  auto* out = static_cast<unsigned char*>(to);
  while (count-- != 0) *out++ = static_cast<unsigned char>(value);
  return to;
}

int memcmp(const void* a, const void* b, std::size_t count) {
  auto* left = static_cast<const unsigned char*>(a);
  auto* right = static_cast<const unsigned char*>(b);
  for (; count != 0; --count, ++left, ++right)
    if (*left != *right) return *left < *right ? -1 : 1;
  return 0;
}

std::size_t strlen(const char* text) {
  const char* end = text;
  while (*end != '\0') ++end;
  return static_cast<std::size_t>(end - text);
}

char* strchr(const char* text, int c) {
  for (;; ++text) {
    if (*text == static_cast<char>(c)) return const_cast<char*>(text);
    if (*text == '\0') return nullptr;
  }
}

char* strrchr(const char* text, int c) {
  const char* found = nullptr;
  for (;; ++text) {
    if (*text == static_cast<char>(c)) found = text;
    if (*text == '\0') return const_cast<char*>(found);
  }
}

// The function behind the headers' inline snprintf when printf-family calls are bound to
// the Microsoft runtime (__USE_MINGW_ANSI_STDIO=0, see mingw-common.cmake).
int __ms_vsnprintf(char* out, std::size_t size, const char* format, va_list args) {
  return platform::win32::format_text(out, size, format, args);
}

}  // extern "C"
