#include "payload/integrity.hpp"

#include "payload/header.hpp"
#include "payload/locator.hpp"

namespace payload {

namespace {

// What the walk has learnt so far about the bodies.
struct Walk {
  std::int64_t payload_start;
  std::int64_t file_size;
  std::int64_t lowest_body_in_payload;  // lowest offset of a body ending past the start
  std::uint32_t lowest_body_entry;
};

bool body_inside_file(const Walk& walk, const Entry& entry) {
  return static_cast<std::int64_t>(entry.offset) + entry.stored_size <= walk.file_size;
}

// A body overlaps the header or table when it ends past the payload start and begins
// before the table's end; the table's end is known only at the terminator, so the walk
// keeps the lowest start among the bodies that end past the payload start.
void note_body(Walk& walk, const Entry& entry, std::uint32_t index) {
  const std::int64_t start = entry.offset;
  if (start + entry.stored_size > walk.payload_start && start < walk.lowest_body_in_payload) {
    walk.lowest_body_in_payload = start;
    walk.lowest_body_entry = index;
  }
}

// An extra file's name ends in its entry's extension, joined to the data folder's path.
bool extension_unsafe(const Entry& entry) {
  for (std::uint32_t i = 0; i < kExtensionSize && entry.extension[i] != '\0'; ++i) {
    if (unsafe_in_file_name(static_cast<unsigned char>(entry.extension[i]))) return true;
  }
  return false;
}

// Every coded symbol takes at least one bit and a match of at most 30 bytes at least ten (its
// symbol and a position), so a stream yields at most 3 bytes per stored bit. An original size
// past that is a damaged entry, and one of 2 GiB or more would decode to nothing at all.
bool size_impossible(const Entry& entry) {
  if (!is_compressed(entry)) return false;
  const std::uint64_t most = std::uint64_t{entry.stored_size} * 24u + 30u;
  return entry.original_size > kMaxEntrySize || entry.original_size > most;
}

// The table is judged whole first; the body faults count only once its terminator is found.
Integrity walk_table(platform::File file, Walk& walk, std::uint32_t* failed_entry,
                     const EntrySink* sink) {
  Header header;
  if (!read_header(file, header)) return Integrity::header_incomplete;
  Entry entry;
  EntryRead got;
  bool outside = false;
  std::uint32_t unsafe_entry = 0;  // none: the first two entries are never unsafe
  std::uint32_t impossible_entry = 0;
  bool impossible = false;
  std::uint32_t index = 0;
  for (; (got = read_entry(file, entry)) == EntryRead::entry; ++index) {
    if (sink != nullptr) sink->keep(sink->context, entry);
    if (!outside && !body_inside_file(walk, entry)) {
      outside = true;
      *failed_entry = index;
    }
    note_body(walk, entry, index);
    if (!impossible && size_impossible(entry)) {
      impossible = true;
      impossible_entry = index;
    }
    // The screen saver and the data file are named without their extensions.
    if (unsafe_entry == 0 && index > kDataIndex && extension_unsafe(entry)) unsafe_entry = index;
  }
  if (got == EntryRead::short_read) return Integrity::table_unterminated;
  // Not a package, though whole: a stripped package or a program that merely has the
  // resource, which the installer would otherwise report as a finished install.
  if (index == 0) return Integrity::table_empty;
  if (outside) return Integrity::body_outside_file;
  const std::int64_t table_end = platform::file_seek(file, 0, platform::SeekFrom::current);
  if (walk.lowest_body_in_payload < table_end) {
    *failed_entry = walk.lowest_body_entry;
    return Integrity::body_overlaps_table;
  }
  if (impossible) {
    *failed_entry = impossible_entry;
    return Integrity::size_impossible;
  }
  if (unsafe_entry != 0) {
    *failed_entry = unsafe_entry;
    return Integrity::extension_unsafe;
  }
  return Integrity::sound;
}

}  // namespace

Integrity check_located(platform::File file, std::uint32_t* failed_entry, const EntrySink* sink) {
  std::uint32_t ignored = 0;
  if (failed_entry == nullptr) failed_entry = &ignored;
  if (file == platform::kInvalidFile) return Integrity::not_found;
  const std::int32_t start = platform::file_seek(file, 0, platform::SeekFrom::current);
  const std::int32_t size = platform::file_seek(file, 0, platform::SeekFrom::end);
  if (start < 0 || size < 0 ||
      platform::file_seek(file, start, platform::SeekFrom::begin) != start) {
    return Integrity::not_found;
  }
  Walk walk{start, size, size, 0};
  return walk_table(file, walk, failed_entry, sink);
}

Integrity check_integrity(const char* path, std::uint32_t* failed_entry) {
  const platform::File file = locate_payload(path);
  const Integrity verdict = check_located(file, failed_entry, nullptr);
  if (file != platform::kInvalidFile) platform::file_close(file);
  return verdict;
}

}  // namespace payload
