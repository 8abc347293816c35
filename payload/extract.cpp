#include "payload/extract.hpp"

#include "decode/decoder.hpp"
#include "payload/format.hpp"
#include "payload/header.hpp"
#include "payload/locator.hpp"
#include "payload/names.hpp"

namespace payload {

namespace {

constexpr std::uint32_t kCopyBufferSize = 2048;

// Locates the payload and reads past its header; the handle is left at the first entry.
// A header cut short leaves the base at 0, and the table read then fails.
platform::File open_table(std::uint16_t& base) {
  const platform::File file = locate_payload();
  base = 0;
  Header header;
  if (file != platform::kInvalidFile && read_header(file, header)) base = header.base;
  return file;
}

// Appends as much of text as fits, for messages that name an over-long path.
void append_cut(char* buffer, std::uint32_t size, const char* text) {
  std::uint32_t used = 0;
  while (buffer[used] != '\0') ++used;
  for (; *text != '\0' && used + 1 < size; ++text) buffer[used++] = *text;
  buffer[used] = '\0';
}

void name_too_long_folder(const InstallNames& names, PathCheck check, char* out,
                          std::uint32_t size) {
  append_cut(out, size, names.windows_dir);
  if (check != PathCheck::data_too_long) return;
  append_cut(out, size, kVendorFolder);
  append_cut(out, size, "\\");
  append_cut(out, size, kProductFolder);
  append_cut(out, size, "\\");
  append_cut(out, size, names.base_name);
}

void create_data_folder(const InstallNames& names) {
  char folder[platform::kPathSize];
  for (int level = 0; level < kDataFolderLevels; ++level) {
    if (data_folder_level(names, level, folder, sizeof folder)) platform::create_directory(folder);
  }
}

// Copies `remaining` bytes from the current position; reads may run past them, writes do
// not. False when a write comes back short.
bool copy_bytes(platform::File from, platform::File to, std::uint32_t remaining, void* buffer) {
  for (;;) {
    const std::uint32_t got = platform::file_read(from, buffer, kCopyBufferSize);
    if (got == platform::kIoError || got == 0) return true;
    const std::uint32_t wanted = got < remaining ? got : remaining;
    if (wanted != 0 && platform::file_write(to, buffer, wanted) != wanted) return false;
    if (got > remaining) return true;
    remaining -= got;
  }
}

// A close that fails may have lost bytes the system still held: a short write too.
ExtractStatus extract_stored(platform::File file, const Entry& entry, const char* path,
                             void* buffer) {
  platform::file_seek(file, static_cast<std::int32_t>(entry.offset), platform::SeekFrom::begin);
  const platform::File target = platform::file_create(path);
  if (target == platform::kInvalidFile) return ExtractStatus::create_failed;
  const bool written = copy_bytes(file, target, entry.stored_size, buffer);
  const bool closed = platform::file_close(target);  // held bytes may fail only here
  return written && closed ? ExtractStatus::done : ExtractStatus::write_failed;
}

// The decoder opens the installer's file on its own, so the payload handle is closed
// around it and a fresh one taken afterwards; a failed entry may leave `file` kInvalidFile.
ExtractStatus extract_compressed(platform::Module module, const Entry& entry, const char* path,
                                 platform::File& file) {
  platform::file_close(file);
  file = platform::kInvalidFile;
  const int decoded = decode::decode_entry_to_file(module, entry.offset,
                                                   {entry.stored_size, entry.original_size}, path);
  if (decoded == decode::kDecodeWriteFailed) return ExtractStatus::write_failed;
  if (decoded == decode::kDecodeNotCreated) return ExtractStatus::create_failed;
  file = locate_payload();
  // A package the decoder could not read, or that is gone after it, is out of reach.
  return decoded == decode::kDecodeDone && file != platform::kInvalidFile
             ? ExtractStatus::done
             : ExtractStatus::payload_missing;
}

ExtractStatus walk_entries(platform::Module module, const InstallNames& names, std::uint16_t base,
                           platform::File& file, void* buffer, char* failed_path) {
  Entry entry;
  for (std::uint32_t index = 0; read_entry(file, entry) == EntryRead::entry; ++index) {
    if (index >= kDataIndex) create_data_folder(names);
    char path[platform::kPathSize];
    if (!target_path(names, index, base, entry.extension, path, sizeof path)) {
      return ExtractStatus::path_too_long;  // not reached: the paths were checked first
    }
    const std::int32_t position = platform::file_seek(file, 0, platform::SeekFrom::current);
    const ExtractStatus status = is_compressed(entry)
                                     ? extract_compressed(module, entry, path, file)
                                     : extract_stored(file, entry, path, buffer);
    if (status != ExtractStatus::done) {
      copy_text(failed_path, platform::kPathSize, path);
      return status;
    }
    platform::file_seek(file, position, platform::SeekFrom::begin);
  }
  return ExtractStatus::done;
}

// Skipped when the Windows directory or the screen saver's short path can't be had.
void register_screen_saver() {
  char path[platform::kPathSize];
  char short_path[platform::kPathSize];
  if (g_target_name[0] == '\0' || !windows_directory_with_separator(path, sizeof path) ||
      !append_text(path, sizeof path, g_target_name)) {
    return;
  }
  const std::uint32_t length = platform::short_path_name(path, short_path, sizeof short_path);
  if (length == 0 || length >= sizeof short_path) return;
  platform::write_profile_string("boot", "SCRNSAVE.EXE", short_path, "system.ini");
  platform::set_screen_saver_active();
}

// A Windows directory that is there but leaves no room in a path buffer for a separator and
// a name: the screen saver's path can't fit. Its name goes into `out` when it fits there.
bool windows_directory_too_long(char* out, std::uint32_t size) {
  const std::uint32_t length = platform::windows_directory(out, size);
  if (length >= size) out[0] = '\0';
  return length + 1 >= platform::kPathSize;
}

}  // namespace

PathCheck check_target_paths(platform::Module module, char* too_long, std::uint32_t size) {
  if (size > 0) too_long[0] = '\0';
  InstallNames names;
  if (!load_install_names(module, names)) {
    if (size > 0 && windows_directory_too_long(too_long, size)) return PathCheck::saver_too_long;
    if (size > 0) too_long[0] = '\0';
    return PathCheck::names_unavailable;
  }
  std::uint16_t base = 0;
  const platform::File file = open_table(base);
  if (file == platform::kInvalidFile) return PathCheck::fits;
  PathCheck result = PathCheck::fits;
  Entry entry;
  char path[platform::kPathSize];
  for (std::uint32_t index = 0;
       result == PathCheck::fits && read_entry(file, entry) == EntryRead::entry; ++index) {
    if (!target_path(names, index, base, entry.extension, path, sizeof path)) {
      result = index == kSaverIndex ? PathCheck::saver_too_long : PathCheck::data_too_long;
    }
  }
  platform::file_close(file);
  if (result != PathCheck::fits && size > 0) name_too_long_folder(names, result, too_long, size);
  return result;
}

ExtractResult extract_and_register(platform::Module module) {
  ExtractResult result{ExtractStatus::done, {}};
  InstallNames names;
  if (!load_install_names(module, names)) {
    result.status = names.windows_dir[0] == '\0' ? ExtractStatus::no_windows_directory
                                                 : ExtractStatus::payload_missing;
    return result;
  }
  const PathCheck check = check_target_paths(module, result.failed_path, sizeof result.failed_path);
  if (check != PathCheck::fits) {
    result.status = ExtractStatus::path_too_long;
    return result;
  }
  std::uint16_t base = 0;
  platform::File file = open_table(base);
  if (file == platform::kInvalidFile) {
    result.status = ExtractStatus::payload_missing;
    return result;
  }
  void* buffer = platform::local_alloc(kCopyBufferSize);
  if (buffer == nullptr) {
    platform::file_close(file);
    result.status = ExtractStatus::no_memory;
    return result;
  }
  result.status = walk_entries(module, names, base, file, buffer, result.failed_path);
  platform::local_free(buffer);
  // A compressed entry that failed may have left no handle (extract_compressed).
  if (file != platform::kInvalidFile) platform::file_close(file);
  if (result.status == ExtractStatus::done) register_screen_saver();
  return result;
}

}  // namespace payload
