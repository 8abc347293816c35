#include "inspect/extract.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>

#include "decode/decoder.hpp"
#include "cli/status.hpp"
#include "inspect/names.hpp"
#include "cli/output_file.hpp"
#include "cli/text.hpp"

namespace scrpkg::inspect {
namespace {

namespace fs = std::filesystem;

// The names come from the package's own file name as much as from its table, and a link in
// the output folder is none of the package's doing: a refusal, not a damaged package.
[[noreturn]] void refuse(const Package& package, std::size_t index, const std::string& why) {
  throw Failure{kExitUsage, package.path + ": entry " + std::to_string(index) + ": " + why +
                                "; nothing extracted"};
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

constexpr std::size_t kChunk = std::size_t{1} << 20;  // bytes copied per read and write

struct CloseFile {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// The package opened at an entry's stored bytes, closed when it goes. Ends the subcommand
// with status 1 when the package can't be opened there.
std::unique_ptr<std::FILE, CloseFile> open_body(const Package& package,
                                                const payload::Entry& entry) {
  std::unique_ptr<std::FILE, CloseFile> file(std::fopen(package.path.c_str(), "rb"));
  if (!file || std::fseek(file.get(), static_cast<long>(entry.offset), SEEK_SET) != 0)
    throw Failure{kExitUsage, package.path + ": " + std::strerror(errno)};
  return file;
}

void write_stored(const Package& package, const payload::Entry& entry, OutputFile& out) {
  const auto in = open_body(package, entry);
  std::vector<unsigned char> chunk(std::min<std::size_t>(kChunk, entry.stored_size));
  for (std::uint32_t left = entry.stored_size; left > 0;) {
    const std::size_t got =
        std::fread(chunk.data(), 1, std::min<std::size_t>(chunk.size(), left), in.get());
    if (got == 0) throw Failure{kExitDamaged, package.path + ": entry's stored bytes cut short"};
    out.write(chunk.data(), got);
    left -= static_cast<std::uint32_t>(got);
  }
}

// The decoder's two ends: the package's stored bytes in, the output file out. A failed
// write keeps its reason, since the decoder knows only that the sink refused.
struct DecodeEnds {
  std::FILE* in;
  OutputFile* out;
  std::string write_error;  // empty until a write fails
};

std::size_t read_stored(void* context, unsigned char* buffer, std::size_t size) {
  return std::fread(buffer, 1, size, static_cast<DecodeEnds*>(context)->in);
}

bool write_restored(void* context, const unsigned char* data, std::size_t size) {
  auto* ends = static_cast<DecodeEnds*>(context);
  try {
    ends->out->write(data, size);
    return true;
  } catch (const OutputError& e) {
    ends->write_error = e.what();
    return false;
  }
}

void write_decoded(const Package& package, const payload::Entry& entry, OutputFile& out) {
  const auto in = open_body(package, entry);
  DecodeEnds ends{in.get(), &out, {}};
  decode::decode_from_reader(read_stored, &ends, {entry.stored_size, entry.original_size},
                             write_restored, &ends);
  if (!ends.write_error.empty()) throw OutputError(ends.write_error);
}

}  // namespace

std::vector<PlannedFile> plan_extraction(const Package& package, const fs::path& folder) {
  const auto names = installed_names(package.path, package.base, package.entries);
  if (!names)
    throw Failure{kExitUsage,
                  package.path + ": an installed path would be too long; nothing extracted"};
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
    if (same_file(*target, package.path))
      throw Failure{kExitUsage, target->string() + ": is the package being read (" + package.path +
                                    "); nothing extracted"};
    plan.push_back({i, relative, *target});
  }
  return plan;
}

void extract_entry(const Package& package, const PlannedFile& file) {
  std::error_code ec;
  fs::create_directories(file.host_target.parent_path(), ec);
  if (ec)
    throw Failure{kExitUsage,
                  "cannot create " + file.host_target.parent_path().string() + ": " + ec.message()};
  const payload::Entry& entry = package.entries[file.index];
  try {
    OutputFile out(file.host_target);
    if (payload::is_compressed(entry)) {
      write_decoded(package, entry, out);
    } else {
      write_stored(package, entry, out);
    }
    out.commit();
  } catch (const OutputError& e) {
    throw Failure{kExitUsage, file.host_target.string() + ": " + e.what()};
  }
}

}  // namespace scrpkg::inspect
