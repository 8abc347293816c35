#include "inspect/listing.hpp"

#include <iomanip>
#include <ostream>

#include "inspect/names.hpp"
#include "cli/text.hpp"

namespace scrpkg::inspect {

std::string role_of(std::uint32_t index) {
  if (index == payload::kSaverIndex) return "screen saver";
  if (index == payload::kDataIndex) return "data";
  return "extra";
}

Listing make_listing(const Package& package) {
  // The display name as the installer shows it, without its trailing blanks.
  Listing listing{package.path, cp1252_to_utf8(without_trailing_blanks(package.name_field)),
                  package.base, package.payload_offset,
                  {},           installed_total(package)};
  const auto names = installed_names(package.path, package.base, package.entries);
  for (std::uint32_t i = 0; i < package.entries.size(); ++i) {
    const payload::Entry& e = package.entries[i];
    listing.entries.push_back({i, role_of(i),
                               names ? host_text_to_utf8((*names)[i]) : "(path too long)",
                               payload::is_compressed(e) ? "compressed" : "stored", e.stored_size,
                               payload::installed_size(e), e.offset});
  }
  return listing;
}

nlohmann::json listing_json(const Listing& listing) {
  nlohmann::json entries = nlohmann::json::array();
  for (const ListedEntry& e : listing.entries) {
    entries.push_back({{"index", e.index},
                       {"role", e.role},
                       {"installed_name", e.installed_name},
                       {"method", e.method},
                       {"stored_size", e.stored_size},
                       {"original_size", e.original_size},
                       {"offset", e.offset}});
  }
  return {{"package", host_text_to_utf8(listing.package)},
          {"display_name", listing.display_name},
          {"file_number_base", listing.base},
          {"payload_offset", listing.payload_offset},
          {"entries", entries},
          {"installed_size", listing.installed_total}};
}

void print_listing(std::ostream& out, const Listing& listing) {
  out << "Package:          " << escaped_controls(host_text_to_utf8(listing.package)) << '\n'
      << "Display name:     " << escaped_controls(listing.display_name) << '\n'
      << "File-number base: " << listing.base << '\n'
      << "Payload offset:   " << listing.payload_offset << "\n\n";
  out << std::left << std::setw(6) << "index" << std::setw(14) << "role" << std::setw(12)
      << "method" << std::right << std::setw(11) << "stored" << std::setw(11) << "original"
      << std::setw(11) << "offset"
      << "  installed as\n";
  for (const ListedEntry& e : listing.entries) {
    out << std::left << std::setw(6) << e.index << std::setw(14) << e.role << std::setw(12)
        << e.method << std::right << std::setw(11) << e.stored_size << std::setw(11)
        << e.original_size << std::setw(11) << e.offset << "  "
        << escaped_controls(e.installed_name) << '\n';
  }
  out << "\nInstalled size:   " << listing.installed_total << " bytes in " << listing.entries.size()
      << (listing.entries.size() == 1 ? " file\n" : " files\n");
}

}  // namespace scrpkg::inspect
