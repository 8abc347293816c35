// The locator and the payload readers over arbitrary files: whatever the bytes, they must
// not crash, must not leave a handle open, and must leave the display name terminated.
#include <cstdint>

#include "payload/header.hpp"
#include "payload/integrity.hpp"
#include "payload/locator.hpp"
#include "tests/fuzz/fuzz_support.hpp"

namespace {

constexpr int kEntriesToRead = 64;

// Walks what follows a located payload start the way the extraction does.
void read_located(platform::File file, std::size_t file_size) {
  const std::int32_t start = platform::file_seek(file, 0, platform::SeekFrom::current);
  FUZZ_REQUIRE(start >= 0 && static_cast<std::size_t>(start) <= file_size,
               "payload start " + std::to_string(start));
  payload::Header header;
  if (!payload::read_header(file, header)) return;
  payload::Entry entry;
  for (int i = 0;
       i < kEntriesToRead && payload::read_entry(file, entry) == payload::EntryRead::entry; ++i) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::fs::path path = fuzz::Scratch::instance().fresh() / "PACKAGE.EXE";
  fuzz::write_bytes(path, data, size);
  const int descriptors = fuzz::open_descriptors();

  const platform::File file = payload::locate_payload(path.c_str());
  if (file != platform::kInvalidFile) {
    read_located(file, size);
    platform::file_close(file);
  }
  payload::g_display_name[payload::kNameSize] = '\0';
  payload::read_display_name(path.c_str());
  FUZZ_REQUIRE(payload::g_display_name[payload::kNameSize] == '\0', "display name unterminated");
  payload::g_installed_total = 0;
  payload::sum_installed_size(path.c_str());
  std::uint32_t failed_entry = 0;
  payload::check_integrity(path.c_str(), &failed_entry);

  FUZZ_REQUIRE(fuzz::open_descriptors() == descriptors, "a handle was left open");
  return 0;
}
