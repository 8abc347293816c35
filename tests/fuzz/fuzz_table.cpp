// The payload header, the table walk, the installed-size sum and the integrity check over
// arbitrary payload bytes behind a well-formed stub. Each verdict is compared with a plain
// model of the table built from the documented layout.
#include <cstdint>
#include <string>
#include <vector>

#include "payload/format.hpp"
#include "payload/header.hpp"
#include "payload/integrity.hpp"
#include "payload/locator.hpp"
#include "tests/fuzz/fuzz_support.hpp"
#include "tests/support/pe_builder.hpp"

namespace {

using payload::Integrity;

struct Expected {
  Integrity verdict = Integrity::sound;
  std::uint32_t failed_entry = 0;
  std::uint32_t installed_total = 0;  // as the sum would leave it, wrapping like it
  std::uint32_t entries = 0;          // before the terminator
};

// The stub cut at its placeholder: every input is appended here as the payload.
const testsupport::Bytes& stub_prefix() {
  static const testsupport::Bytes prefix = [] {
    testsupport::Bytes stub = testsupport::build_stub();
    stub.resize(testsupport::placeholder_offset(stub));
    return stub;
  }();
  return prefix;
}

bool unsafe_extension_char(unsigned char c) {
  return c < 0x20 || c == 0x7F ||
         std::string("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string::npos;
}

bool unsafe_extension(const payload::Entry& entry) {
  for (char c : entry.extension) {
    if (c == '\0') return false;
    if (unsafe_extension_char(static_cast<unsigned char>(c))) return true;
  }
  return false;
}

// The verdict from the layout alone: header, then a terminated table, then a non-empty one,
// then bodies past the end of the file (first such entry), then bodies over the header or
// table (lowest start).
Expected model(const testsupport::Bytes& file, std::uint64_t start) {
  Expected out;
  const std::uint64_t size = file.size();
  if (size - start < payload::kHeaderSize) {
    out.verdict = Integrity::header_incomplete;
    return out;
  }
  std::uint64_t at = start + payload::kHeaderSize;
  std::int64_t outside = -1, lowest_entry = -1, unsafe = -1, impossible = -1;
  std::uint64_t lowest_start = size;
  for (std::uint32_t index = 0;; ++index, at += payload::kEntrySize) {
    if (size - at < payload::kEntrySize) {
      out.verdict = Integrity::table_unterminated;
      return out;
    }
    const payload::Entry e = payload::decode_entry(file.data() + at);
    out.installed_total += payload::installed_size(e);
    if (e.stored_size == 0) break;
    ++out.entries;
    const std::uint64_t end = std::uint64_t{e.offset} + e.stored_size;
    if (outside < 0 && end > size) outside = index;
    if (end > start && e.offset < lowest_start) {
      lowest_start = e.offset;
      lowest_entry = index;
    }
    if (unsafe < 0 && index >= 2 && unsafe_extension(e)) unsafe = index;
    // At most 3 bytes per stored bit, and nothing at all from 2 GiB up.
    if (impossible < 0 && e.original_size != 0 &&
        (e.original_size >= 0x80000000u || e.original_size > e.stored_size * 24ull + 30)) {
      impossible = index;
    }
  }
  const std::uint64_t table_end = at + payload::kEntrySize;
  if (out.entries == 0) {
    out.verdict = Integrity::table_empty;
  } else if (outside >= 0) {
    out = {Integrity::body_outside_file, static_cast<std::uint32_t>(outside), out.installed_total,
           out.entries};
  } else if (lowest_entry >= 0 && lowest_start < table_end) {
    out = {Integrity::body_overlaps_table, static_cast<std::uint32_t>(lowest_entry),
           out.installed_total, out.entries};
  } else if (impossible >= 0) {
    out = {Integrity::size_impossible, static_cast<std::uint32_t>(impossible), out.installed_total,
           out.entries};
  } else if (unsafe >= 0) {
    out = {Integrity::extension_unsafe, static_cast<std::uint32_t>(unsafe), out.installed_total,
           out.entries};
  }
  return out;
}

void check_table_read(const fuzz::fs::path& path, const Expected& expected) {
  const platform::File file = payload::locate_payload(path.c_str());
  FUZZ_REQUIRE(file != platform::kInvalidFile, "the well-formed stub was not located");
  payload::Header header;
  std::uint32_t count = 0;
  const bool whole = payload::read_table(file, header, nullptr, 0, &count);
  platform::file_close(file);
  const bool table_whole = expected.verdict != Integrity::header_incomplete &&
                           expected.verdict != Integrity::table_unterminated;
  FUZZ_REQUIRE(whole == table_whole, "read_table disagrees on a whole table");
  if (whole) FUZZ_REQUIRE(count == expected.entries, "entry count " + std::to_string(count));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  testsupport::Bytes file = stub_prefix();
  file.insert(file.end(), data, data + size);
  const fuzz::fs::path path = fuzz::Scratch::instance().fresh() / "PACKAGE.EXE";
  fuzz::write_bytes(path, file.data(), file.size());
  const Expected expected = model(file, stub_prefix().size());

  std::uint32_t failed_entry = 0;
  const Integrity verdict = payload::check_integrity(path.c_str(), &failed_entry);
  FUZZ_REQUIRE(verdict == expected.verdict, std::string("verdict ") +
                                                payload::integrity_text(verdict) + ", expected " +
                                                payload::integrity_text(expected.verdict));
  if (verdict != Integrity::sound && expected.verdict != Integrity::header_incomplete &&
      expected.verdict != Integrity::table_unterminated) {
    FUZZ_REQUIRE(failed_entry == expected.failed_entry, "entry " + std::to_string(failed_entry));
  }
  payload::g_installed_total = 0;
  FUZZ_REQUIRE(payload::sum_installed_size(path.c_str()), "no payload");
  const std::uint32_t total =
      expected.verdict == Integrity::header_incomplete ? 0 : expected.installed_total;
  FUZZ_REQUIRE(payload::g_installed_total == total,
               "total " + std::to_string(payload::g_installed_total));
  check_table_read(path, expected);
  return 0;
}
