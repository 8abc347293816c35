// The facts `scrpkg list` shows, as a table or as JSON.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "inspect/package.hpp"

namespace scrpkg::inspect {

struct ListedEntry {
  std::uint32_t index;
  std::string role;            // "screen saver", "data" or "extra"
  std::string installed_name;  // relative to the Windows directory, backslashes, UTF-8
  std::string method;          // "stored" or "compressed"
  std::uint32_t stored_size;
  std::uint32_t original_size;  // size once installed
  std::uint32_t offset;
};

struct Listing {
  std::string package;
  std::string display_name;  // UTF-8, trailing blanks removed
  std::uint16_t base;
  std::uint64_t payload_offset;
  std::vector<ListedEntry> entries;
  std::uint64_t installed_total;
};

std::string role_of(std::uint32_t index);

Listing make_listing(const Package& package);
nlohmann::json listing_json(const Listing& listing);
void print_listing(std::ostream& out, const Listing& listing);

}  // namespace scrpkg::inspect
