// Packages: a stub cut at its placeholder, followed by the payload.
#include "tests/support/pe_builder.hpp"

#include "payload/format.hpp"
#include "tests/support/bytes_le.hpp"
#include "tests/support/image_reader.hpp"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testsupport {
namespace {

std::uint32_t table_size(std::size_t entries, bool terminator) {
  return static_cast<std::uint32_t>(entries + (terminator ? 1 : 0)) * payload::kEntrySize;
}

void append_header(Bytes& out, const PackageOptions& o) {
  unsigned char header[payload::kHeaderSize] = {};
  std::copy_n(o.name.begin(), std::min<std::size_t>(o.name.size(), payload::kNameSize), header);
  payload::put_u16(header + payload::kNameSize, o.base);
  out.insert(out.end(), std::begin(header), std::end(header));
}

payload::Entry make_entry(const PayloadEntry& e, std::uint32_t offset) {
  payload::Entry entry{offset, static_cast<std::uint32_t>(e.body.size()), e.original_size, {}};
  std::copy_n(e.extension.begin(),
              std::min<std::size_t>(e.extension.size(), payload::kExtensionSize), entry.extension);
  return entry;
}

void append_entry(Bytes& out, const payload::Entry& entry) {
  unsigned char raw[payload::kEntrySize];
  payload::encode_entry(entry, raw);
  out.insert(out.end(), std::begin(raw), std::end(raw));
}

// The payload as it sits at `header_at`: header, table with absolute offsets, bodies.
Bytes make_payload(const std::vector<PayloadEntry>& entries, const PackageOptions& o,
                   std::uint32_t header_at) {
  Bytes out;
  append_header(out, o);
  std::uint32_t offset =
      header_at + payload::kHeaderSize + table_size(entries.size(), o.terminator);
  for (const PayloadEntry& e : entries) {
    append_entry(out, make_entry(e, offset));
    offset += static_cast<std::uint32_t>(e.body.size());
  }
  if (o.terminator) append_entry(out, payload::Entry{});
  for (const PayloadEntry& e : entries) out.insert(out.end(), e.body.begin(), e.body.end());
  return out;
}

}  // namespace

Bytes build_package(const std::vector<PayloadEntry>& entries, const PackageOptions& options) {
  Bytes package = build_stub(options.stub);
  const ResourceLocation lastres = find_named_resource(package, "LASTRES");
  const std::uint32_t cut =
      lastres.data != 0 ? lastres.data : static_cast<std::uint32_t>(package.size());
  const Bytes payload_bytes = make_payload(entries, options, cut);
  const std::int64_t moved = static_cast<std::int64_t>(cut) + options.move_header;
  if (moved < 0 || moved > static_cast<std::int64_t>(package.size()) + (1 << 20))
    throw std::invalid_argument("move_header leaves the file");
  package.resize(static_cast<std::size_t>(moved), 0);
  if (lastres.data_entry != 0) {
    bool ok = true;
    const std::uint32_t rva = le::get(package, lastres.data_entry, 4, ok);
    le::put32(package, lastres.data_entry, rva + static_cast<std::uint32_t>(options.move_header));
  }
  package.insert(package.end(), payload_bytes.begin(), payload_bytes.end());
  return package;
}

void write_file(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

Bytes read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace testsupport
