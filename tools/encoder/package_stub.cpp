#include "tools/encoder/package_stub.hpp"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "payload/format.hpp"
#include "payload/locator.hpp"
#include "payload/pe_layout.hpp"
#include "tools/encoder/package_error.hpp"
#include "tools/stub_image/pe_image.hpp"

namespace packer {
namespace {

// File offset of the placeholder, after checking the first resource in tree order.
std::uint32_t placeholder_offset(const std::vector<std::uint8_t>& stub,
                                 const stub_image::Section& rsrc) {
  const std::vector<stub_image::ResourceData> resources =
      stub_image::resources_in_tree_order(stub, rsrc);
  if (resources.empty()) throw PackError("an empty resource tree");
  const stub_image::ResourceData& marker = resources.front();
  if (marker.type_name != payload::kPlaceholderType) {
    throw PackError("first resource is not of type LASTRES");
  }
  if (marker.size != payload::kPlaceholderSize) {
    throw PackError("LASTRES resource is " + std::to_string(marker.size) + " bytes, not " +
                    std::to_string(payload::kPlaceholderSize));
  }
  if (marker.rva < rsrc.rva ||
      std::uint64_t{marker.rva} + marker.size != std::uint64_t{rsrc.rva} + rsrc.virtual_size) {
    throw PackError("LASTRES placeholder does not end the resource section");
  }
  const std::uint64_t offset = std::uint64_t{marker.rva} - rsrc.rva + rsrc.raw_offset;
  if (offset + marker.size >
      std::min<std::uint64_t>(stub.size(), std::uint64_t{rsrc.raw_offset} + rsrc.raw_size)) {
    throw PackError("LASTRES placeholder lies outside the file");
  }
  return static_cast<std::uint32_t>(offset);
}

// Where the installer's locator puts the payload start in the file at `path`.
std::uint32_t located_payload(const std::string& path) {
  // The platform layer resolves relative paths against its own notion of a drive.
  const std::string absolute = std::filesystem::absolute(path).lexically_normal().string();
  const platform::File file = payload::locate_payload(absolute.c_str());
  if (file == platform::kInvalidFile) throw PackError("the payload locator finds no payload");
  const std::int32_t at = platform::file_seek(file, 0, platform::SeekFrom::current);
  platform::file_close(file);
  if (at < 0) throw PackError("could not be read");
  return static_cast<std::uint32_t>(at);
}

}  // namespace

StubLayout inspect_stub(const std::vector<std::uint8_t>& stub) try {
  const stub_image::Headers headers = stub_image::read_headers(stub);
  const stub_image::Section* rsrc = stub_image::find_section(headers, pe::resource::kSectionName);
  if (rsrc == nullptr) throw PackError("no resource section");
  StubLayout layout{placeholder_offset(stub, *rsrc), 0};
  for (const stub_image::Section& s : headers.sections) {
    layout.raw_end = static_cast<std::uint32_t>(
        std::max<std::uint64_t>(layout.raw_end, std::uint64_t{s.raw_offset} + s.raw_size));
  }
  return layout;
} catch (const stub_image::ImageError& e) {
  throw PackError(e.what());
}

StubLayout inspect_stub_file(const std::string& path, std::vector<std::uint8_t>& stub,
                             const std::string& shown_as) try {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw PackError("could not be read");
  stub.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  const StubLayout layout = inspect_stub(stub);
  if (located_payload(path) != layout.payload_offset) {
    throw PackError("the payload locator does not find the LASTRES placeholder");
  }
  return layout;
} catch (const PackError& e) {
  throw PackError((shown_as.empty() ? "stub " + path : shown_as) + ": " + e.what());
}

}  // namespace packer
