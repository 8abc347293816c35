#include "inspect/package.hpp"

#include <cerrno>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "cli/status.hpp"
#include "cli/text.hpp"
#include "payload/header.hpp"
#include "payload/integrity.hpp"
#include "payload/locator.hpp"

namespace scrpkg::inspect {
namespace {

// The core's file calls take Windows paths, or host paths when they start with "/".
std::string core_path(const std::string& host_path) {
  return std::filesystem::absolute(host_path).lexically_normal().string();
}

void keep_entry(void* package, const payload::Entry& entry) {
  static_cast<Package*>(package)->entries.push_back(entry);
}

// The verdict in one line; the faults of one entry name it.
std::optional<std::string> problem_text(payload::Integrity verdict, std::uint32_t failed_entry) {
  if (verdict == payload::Integrity::sound) return std::nullopt;
  std::string text = payload::integrity_text(verdict);
  if (verdict == payload::Integrity::body_outside_file ||
      verdict == payload::Integrity::body_overlaps_table ||
      verdict == payload::Integrity::size_impossible ||
      verdict == payload::Integrity::extension_unsafe) {
    text = "entry " + std::to_string(failed_entry) + ": " + text;
  }
  return text;
}

// The table is whole: the verdict is about its contents.
bool table_read(payload::Integrity verdict) {
  return verdict != payload::Integrity::not_found &&
         verdict != payload::Integrity::header_incomplete &&
         verdict != payload::Integrity::table_unterminated;
}

}  // namespace

std::optional<std::string> unreadable_reason(const std::string& path) {
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(path, ec);
  if (ec) return ec.message();
  if (std::filesystem::is_directory(status))
    return std::make_error_code(std::errc::is_a_directory).message();
  // Checked before opening: a FIFO would block the open, a device may never end.
  if (!std::filesystem::is_regular_file(status)) return std::string("is not a regular file");
  // Opened as the readers open it, so that the Windows build takes its UTF-8 names too.
  errno = 0;
  const platform::File file = platform::file_open_read(core_path(path).c_str());
  if (file == platform::kInvalidFile)
    return errno != 0 ? std::generic_category().message(errno) : std::string("cannot be opened");
  platform::file_close(file);
  return std::nullopt;
}

std::optional<std::string> package_size_problem(std::uint64_t size) {
  if (size <= payload::kMaxPackageSize) return std::nullopt;
  return "is " + std::to_string(size) + " bytes, larger than the package format can hold (" +
         std::to_string(payload::kMaxPackageSize) + " bytes)";
}

std::optional<Package> read_package(const std::string& path, std::string& reason) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    reason = "no such file";
    return std::nullopt;
  }
  Package package;
  package.path = path;
  package.file_size = std::filesystem::file_size(path, ec);
  if (auto problem = package_size_problem(package.file_size)) {
    reason = *problem;
    return std::nullopt;
  }
  const platform::File file = payload::locate_payload(core_path(path).c_str());
  const std::int32_t start = file == platform::kInvalidFile
                                 ? -1
                                 : platform::file_seek(file, 0, platform::SeekFrom::current);
  const payload::EntrySink sink{keep_entry, &package};
  std::uint32_t failed_entry = 0;
  const payload::Integrity verdict = payload::check_located(file, &failed_entry, &sink);
  payload::Header header{};
  const bool complete = table_read(verdict) && start >= 0 &&
                        platform::file_seek(file, start, platform::SeekFrom::begin) == start &&
                        payload::read_header(file, header);
  if (file != platform::kInvalidFile) platform::file_close(file);
  if (!complete) {
    reason = verdict == payload::Integrity::sound ? "the payload header could not be read"
                                                  : payload::integrity_text(verdict);
    return std::nullopt;
  }
  package.name_field = fixed_field(header.name, payload::kNameSize);
  package.base = header.base;
  package.payload_offset = static_cast<std::uint64_t>(start);
  package.problem = problem_text(verdict, failed_entry);
  return package;
}

nlohmann::json with_verdict(nlohmann::json document, const std::optional<std::string>& problem) {
  document["sound"] = !problem;
  document["problem"] = problem ? nlohmann::json(*problem) : nlohmann::json();
  return document;
}

void fail_damaged(const std::string& path, const std::string& problem, bool json) {
  if (json)
    std::cout << with_verdict({{"package", host_text_to_utf8(path)}}, problem).dump(2) << '\n';
  throw Failure{kExitDamaged, path + ": " + problem};
}

Package read_package_for_command(const std::string& path, bool json) {
  if (auto why = unreadable_reason(path)) throw Failure{kExitUsage, path + ": " + *why};
  std::string reason;
  std::optional<Package> package = read_package(path, reason);
  if (!package) fail_damaged(path, reason, json);
  return *package;
}

Package read_sound_package(const std::string& path, bool json) {
  Package package = read_package_for_command(path, json);
  if (package.problem) fail_damaged(path, "damaged: " + *package.problem, json);
  return package;
}

std::uint64_t installed_total(const Package& package) {
  std::uint64_t total = 0;
  for (const payload::Entry& e : package.entries) total += payload::installed_size(e);
  return total;
}

}  // namespace scrpkg::inspect
