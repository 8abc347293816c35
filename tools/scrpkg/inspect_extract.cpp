#include "inspect_extract.hpp"

#include <fstream>
#include <system_error>

#include "decode/decoder.hpp"
#include "inspect_bodies.hpp"
#include "inspect_cli.hpp"
#include "inspect_names.hpp"
#include "inspect_text.hpp"

namespace scrpkg {
namespace {

namespace fs = std::filesystem;

// The names come from the package's own file name as much as from its table, and a link in
// the output folder is none of the package's doing: a refusal, not a damaged package.
[[noreturn]] void refuse(const Package& package, std::size_t index, const std::string& why) {
  fail(kExitUsage,
       package.path + ": entry " + std::to_string(index) + ": " + why + "; nothing extracted");
}

// Existing symbolic links under the folder must not lead the target out of it.
bool resolves_inside(const fs::path& folder, const fs::path& target) {
  std::error_code root_error, target_error;
  const fs::path root = fs::weakly_canonical(fs::absolute(folder), root_error);
  const fs::path resolved = fs::weakly_canonical(fs::absolute(target), target_error);
  if (root_error || target_error) return false;
  const fs::path inside = resolved.lexically_relative(root);
  return !inside.empty() && *inside.begin() != "..";
}

void write_stored(const Package& package, const payload::Entry& entry, const fs::path& target) {
  const std::vector<unsigned char> body = read_body(package, entry);
  std::ofstream out(target, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(body.data()), static_cast<std::streamsize>(body.size()));
  out.close();
  if (!out) fail(kExitUsage, "cannot write " + target.string());
}

void write_decoded(const Package& package, const payload::Entry& entry, const fs::path& target) {
  const std::string source = fs::absolute(package.path).string();
  const int result = decode::decode_file_to_file(source.c_str(), entry.offset, entry.original_size,
                                                 entry.stored_size, target.string().c_str());
  if (result != decode::kDecodeDone) fail(kExitUsage, "cannot write " + target.string());
}

}  // namespace

std::vector<PlannedFile> plan_extraction(const Package& package, const fs::path& folder) {
  const auto names =
      installed_names(installer_module_path(package.path), package.base, package.entries);
  if (!names)
    fail(kExitUsage, package.path + ": an installed path would be too long; nothing extracted");
  std::vector<PlannedFile> plan;
  for (std::size_t i = 0; i < package.entries.size(); ++i) {
    const std::string& relative = (*names)[i];
    const std::string shown = "\"" + host_text_to_utf8(relative) + "\"";
    if (i > payload::kDataIndex) {
      if (auto why = unsafe_extension_reason(package.entries[i].extension))
        refuse(package, i, *why);
    }
    if (auto why = unsafe_name_reason(relative)) refuse(package, i, shown + " has " + *why);
    const auto target = host_path_inside(folder, relative);
    if (!target || !resolves_inside(folder, *target))
      refuse(package, i, shown + " leaves the output folder");
    plan.push_back({i, relative, *target});
  }
  return plan;
}

void extract_entry(const Package& package, const PlannedFile& file) {
  std::error_code ec;
  fs::create_directories(file.host_target.parent_path(), ec);
  if (ec)
    fail(kExitUsage,
         "cannot create " + file.host_target.parent_path().string() + ": " + ec.message());
  const payload::Entry& entry = package.entries[file.index];
  if (payload::is_compressed(entry)) {
    write_decoded(package, entry, file.host_target);
  } else {
    write_stored(package, entry, file.host_target);
  }
}

}  // namespace scrpkg
