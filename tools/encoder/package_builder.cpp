#include "tools/encoder/package_builder.hpp"

#include <algorithm>
#include <limits>

#include "payload/format.hpp"
#include "tools/encoder/encoder.hpp"
#include "tools/encoder/package_error.hpp"

namespace packer {
namespace {

struct Body {
  Bytes stored;
  std::uint32_t original_size;  // 0 when stored as is
};

Body make_body(const PackFile& file, const PackSettings& settings) {
  if (!settings.store) {
    Bytes packed = encoder::compress(file.contents.data(), file.contents.size(), settings.level);
    if (packed.size() < file.contents.size()) {
      return {std::move(packed), static_cast<std::uint32_t>(file.contents.size())};
    }
  }
  return {file.contents, 0};
}

void check_files(const std::vector<PackFile>& files) {
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (files[i].contents.empty()) {
      throw PackError("entry " + std::to_string(i) + " (" + files[i].extension +
                      ") is empty; a package cannot hold an empty file");
    }
    if (files[i].extension.size() > payload::kExtensionSize) {
      throw PackError("extension " + files[i].extension + " is longer than 4 characters");
    }
  }
}

void put_header(Bytes& out, const PackSettings& settings) {
  if (settings.name.size() > payload::kNameSize)
    throw PackError("display name is longer than 32 bytes");
  unsigned char header[payload::kHeaderSize] = {};
  std::copy(settings.name.begin(), settings.name.end(), header);
  payload::put_u16(header + payload::kNameSize, settings.base);
  out.insert(out.end(), header, header + payload::kHeaderSize);
}

void put_entry(Bytes& out, const payload::Entry& entry) {
  unsigned char raw[payload::kEntrySize];
  payload::encode_entry(entry, raw);
  out.insert(out.end(), raw, raw + payload::kEntrySize);
}

payload::Entry entry_for(const Body& body, const std::string& extension, std::uint64_t offset) {
  payload::Entry entry{static_cast<std::uint32_t>(offset),
                       static_cast<std::uint32_t>(body.stored.size()),
                       body.original_size,
                       {}};
  std::copy(extension.begin(), extension.end(), entry.extension);
  return entry;
}

}  // namespace

Bytes build_package(const Bytes& stub, const StubLayout& layout, const std::vector<PackFile>& files,
                    const PackSettings& settings, const PackProgress& progress) {
  check_files(files);
  std::vector<Body> bodies;
  std::uint64_t done = 0;
  for (const PackFile& file : files) {
    bodies.push_back(make_body(file, settings));
    done += file.contents.size();
    if (progress) progress(done);
  }
  Bytes out(stub.begin(), stub.begin() + layout.payload_offset);
  put_header(out, settings);
  std::uint64_t offset = out.size() + payload::kEntrySize * (files.size() + 1);
  for (std::size_t i = 0; i < files.size(); ++i) {
    put_entry(out, entry_for(bodies[i], files[i].extension, offset));
    offset += bodies[i].stored.size();
  }
  if (offset > std::numeric_limits<std::uint32_t>::max()) {
    throw PackError("package would be larger than 4 GiB");
  }
  put_entry(out, payload::Entry{});
  for (const Body& body : bodies) out.insert(out.end(), body.stored.begin(), body.stored.end());
  // The loader refuses an image whose section data runs past the end of the file.
  if (out.size() < layout.raw_end) out.resize(layout.raw_end, 0);
  return out;
}

}  // namespace packer
