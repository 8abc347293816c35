// A package as the inspector sees it: the payload header and entry table read from the
// file, and the integrity verdict.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "payload/format.hpp"

namespace scrpkg::inspect {

struct Package {
  std::string path;                  // host path of the package file
  std::string name_field;            // display name field up to its first NUL (Windows-1252)
  std::uint16_t base = 0;            // file-number base
  std::uint64_t payload_offset = 0;  // file position of the payload header
  std::uint64_t file_size = 0;
  std::vector<payload::Entry> entries;  // the table without its terminator
  std::optional<std::string> problem;   // why the package is damaged; empty when sound
};

// Why the file cannot be read as a package at all, as the system words it ("No such file or
// directory", "Is a directory", "Permission denied"), or "is not a regular file" for a FIFO
// or device, which is never opened; empty when it can be read. Commands refuse such a
// file with status 1: no verdict on its contents is reached.
std::optional<std::string> unreadable_reason(const std::string& path);

// Why a file of `size` bytes can't be a package: past payload::kMaxPackageSize, beyond
// what the readers and the installer's signed 32-bit seeks reach. Empty when it can.
std::optional<std::string> package_size_problem(std::uint64_t size);

// Locates the payload once and reads its header and table, judging the package as it goes.
// On failure returns empty and sets `reason` to a one-line explanation (not a package, too
// large for the format, header or table cut off, ...).
std::optional<Package> read_package(const std::string& path, std::string& reason);

// The document with the verdict that --json carries beside it: sound, or the problem found.
nlohmann::json with_verdict(nlohmann::json document, const std::optional<std::string>& problem);

// Ends the subcommand with status 2 and "path: problem", first printing the verdict on
// stdout when `json` asks for one.
[[noreturn]] void fail_damaged(const std::string& path, const std::string& problem, bool json);

// Reads the package a subcommand works on: status 1 when the file can't be read, and
// fail_damaged() when it is not a package.
Package read_package_for_command(const std::string& path, bool json = false);

// The same, and a damaged package fails as well.
Package read_sound_package(const std::string& path, bool json = false);

// Sum of the sizes the entries have once installed.
std::uint64_t installed_total(const Package& package);

}  // namespace scrpkg::inspect
