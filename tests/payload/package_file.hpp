// Helpers for the payload tests: packages written to temporary files, and byte patches at
// the places of a PE image that the tests damage.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <ostream>
#include <string>

#include "payload/format.hpp"
#include "payload/integrity.hpp"
#include "payload/locator.hpp"
#include "platform/platform.hpp"
#include "tests/support/pe_builder.hpp"

namespace payload {
// Verdicts print as their text in failure messages.
inline void PrintTo(Integrity verdict, std::ostream* os) {
  *os << integrity_text(verdict);
}
}  // namespace payload

namespace payload_test {

using testsupport::Bytes;

// A file holding the given bytes for as long as the object lives.
class TempFile {
 public:
  explicit TempFile(const Bytes& bytes) : path_(unique_path()) {
    testsupport::write_file(path_, bytes);
  }
  ~TempFile() { std::remove(path_.c_str()); }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  const char* path() const { return path_.c_str(); }

 private:
  static std::string unique_path() {
    static int counter = 0;
    const auto* test = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test ? test->name() : "x";
    for (char& c : name) {
      if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return testing::TempDir() + "payload_" + name + "_" + std::to_string(::getpid()) + "_" +
           std::to_string(counter++) + ".exe";
  }
  std::string path_;
};

inline std::uint32_t u32_at(const Bytes& b, std::size_t at) {
  return payload::get_u32(&b.at(at));
}
inline void set_u32(Bytes& b, std::size_t at, std::uint32_t v) {
  payload::put_u32(&b.at(at), v);
}
inline void set_u16(Bytes& b, std::size_t at, std::uint16_t v) {
  payload::put_u16(&b.at(at), v);
}

// Offsets of PE structures in an image made by the fixture builder.
inline std::uint32_t pe_header(const Bytes& image) {
  return u32_at(image, 0x3C);
}
inline std::uint32_t file_header(const Bytes& image) {
  return pe_header(image) + 4;
}
inline std::uint32_t section_header(const Bytes& image, int index) {
  const std::uint32_t optional_size = payload::get_u16(&image.at(file_header(image) + 16));
  return file_header(image) + 20 + optional_size + 40 * static_cast<std::uint32_t>(index);
}
inline std::uint32_t resource_section_header(const Bytes& image) {
  return section_header(image, 1);
}

// Position of table entry `index` in a package.
inline std::uint32_t entry_position(const Bytes& package, std::uint32_t index) {
  return testsupport::payload_offset(package) + payload::kHeaderSize + payload::kEntrySize * index;
}

// Where the locator leaves its handle, or -1 when it returns none. Closes the handle.
inline long located_at(const char* path) {
  const platform::File file = payload::locate_payload(path);
  if (file == platform::kInvalidFile) return -1;
  const long position = platform::file_seek(file, 0, platform::SeekFrom::current);
  platform::file_close(file);
  return position;
}

// The lowest free file descriptor: unchanged across a call that leaves nothing open.
inline int lowest_free_descriptor() {
  const int fd = ::dup(0);
  ::close(fd);
  return fd;
}

inline Bytes bytes_of(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

}  // namespace payload_test
