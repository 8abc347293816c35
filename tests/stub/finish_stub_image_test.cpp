// The build step that finishes a linked stub image: LASTRES data last, data zeros dropped.
#include "tests/stub/pe_view.hpp"
#include "tests/stub/stub_image.hpp"
#include "tests/support/pe_builder.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <tuple>

namespace stubtest {
namespace {

using ResourceKey = std::tuple<std::string, std::uint32_t, std::uint32_t, std::uint32_t>;

std::string scratch_path(const std::string& name) {
  return ::testing::TempDir() + "finish_stub_image_" + name + ".exe";
}

// Runs the step on a copy of `image`; returns its exit status and the bytes it left.
int run_step(const Bytes& image, const std::string& name, Bytes& result) {
  const std::string path = scratch_path(name);
  write_file(path, image);
  const std::string command = std::string(FINISH_STUB_IMAGE_PATH) + " '" + path + "' 2>/dev/null";
  int status = std::system(command.c_str());
  result = read_file(path);
  return status;
}

std::map<ResourceKey, Bytes> contents(const Bytes& image) {
  PeView view;
  EXPECT_TRUE(parse_pe(image, view));
  std::map<ResourceKey, Bytes> all;
  for (const Resource& r : resources_in_tree_order(image, view))
    all[{r.type_name, r.type_id, r.id, r.language}] = resource_data(image, view, r);
  return all;
}

void expect_lastres_ends_section(const Bytes& image) {
  PeView view;
  ASSERT_TRUE(parse_pe(image, view));
  const Section* rsrc = find_section(view, ".rsrc");
  ASSERT_NE(rsrc, nullptr);
  std::vector<Resource> resources = resources_in_tree_order(image, view);
  ASSERT_FALSE(resources.empty());
  ASSERT_EQ(resources.front().type_name, "LASTRES");
  EXPECT_EQ(resources.front().data_rva + resources.front().size, rsrc->rva + rsrc->virtual_size);
  EXPECT_EQ(view.directories.at(2).rva + view.directories.at(2).size,
            rsrc->rva + rsrc->virtual_size);
}

TEST(FinishStubImage, MovesTheMarkerBehindEveryOtherResource) {
  testsupport::StubOptions options;
  options.lastres_not_last = true;
  const Bytes before = testsupport::build_stub(options);
  Bytes after;
  ASSERT_EQ(run_step(before, "moves", after), 0);
  ASSERT_EQ(after.size(), before.size());
  expect_lastres_ends_section(after);
  EXPECT_EQ(contents(after), contents(before)) << "a resource's data changed";
}

// The two images that differ only in the order of the data must come out the same
// wherever the marker started.
TEST(FinishStubImage, GivesTheSameImageWhereverTheMarkerStarted) {
  testsupport::StubOptions first, last;
  first.lastres_not_last = true;
  Bytes from_first, from_last;
  ASSERT_EQ(run_step(testsupport::build_stub(first), "from_first", from_first), 0);
  ASSERT_EQ(run_step(testsupport::build_stub(last), "from_last", from_last), 0);
  EXPECT_EQ(contents(from_first), contents(from_last));
  expect_lastres_ends_section(from_last);
}

TEST(FinishStubImage, LeavesAnImageItAlreadyPlacedUnchanged) {
  testsupport::StubOptions options;
  options.lastres_not_last = true;
  Bytes once, twice;
  ASSERT_EQ(run_step(testsupport::build_stub(options), "once", once), 0);
  ASSERT_EQ(run_step(once, "twice", twice), 0);
  EXPECT_EQ(twice, once);
}

TEST(FinishStubImage, LeavesTheBuiltStubUnchanged) {
  const StubImage* stub = i686_stub();
  if (stub == nullptr) GTEST_SKIP() << "no i686 stub built";
  Bytes again;
  ASSERT_EQ(run_step(stub->bytes, "built", again), 0);
  EXPECT_EQ(again, stub->bytes);
}

std::uint32_t get32(const Bytes& b, std::size_t at) {
  return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 |
         static_cast<std::uint32_t>(b.at(at + 3)) << 24;
}

void set32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.at(at + i) = static_cast<std::uint8_t>(v >> (8 * i));
}

// The image as the linker writes it when uninitialised data sits at the end of the data
// section: `extra` more zero bytes of raw data there, the later sections moved up.
Bytes with_zeros_after_data(const Bytes& image, std::uint32_t extra) {
  Bytes b = image;
  const std::size_t file_header = get32(b, 0x3C) + 4;
  const std::size_t optional = file_header + 20;
  const std::size_t table = optional + (b.at(file_header + 16) | b.at(file_header + 17) << 8);
  const std::size_t count = b.at(file_header + 2) | b.at(file_header + 3) << 8;
  std::size_t data = 0;
  for (std::size_t i = 0; i < count; ++i)
    if (std::string(reinterpret_cast<const char*>(&b[table + 40 * i])) == ".data")
      data = table + 40 * i;
  EXPECT_NE(data, 0u);
  std::uint32_t raw = get32(b, data + 20);
  const std::uint32_t raw_size = get32(b, data + 16);
  // Data that is zeros alone has no raw data; the linker's would stand before the next section.
  if (raw_size == 0) set32(b, data + 20, raw = get32(b, data + 40 + 20));
  b.insert(b.begin() + raw + raw_size, extra, 0);
  set32(b, data + 16, raw_size + extra);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t header = table + 40 * i;
    if (header != data && get32(b, header + 20) >= raw)
      set32(b, header + 20, get32(b, header + 20) + extra);
  }
  set32(b, optional + 8, get32(b, optional + 8) + extra);
  return b;
}

TEST(FinishStubImage, DropsTheZerosWrittenForUninitialisedData) {
  const StubImage* stub = i686_stub();
  if (stub == nullptr) GTEST_SKIP() << "no i686 stub built";
  const Section* data = find_section(stub->view, ".data");
  ASSERT_NE(data, nullptr);
  for (std::uint32_t extra : {0x200u, 0x1000u, 0xA400u}) {
    Bytes padded = with_zeros_after_data(stub->bytes, extra), trimmed;
    ASSERT_EQ(padded.size(), stub->bytes.size() + extra);
    ASSERT_EQ(run_step(padded, "zeros", trimmed), 0) << extra;
    EXPECT_EQ(trimmed, stub->bytes) << extra;
  }
}

struct Refusal {
  const char* name;
  testsupport::StubOptions options;
};

// An image whose first resource is not LASTRES is refused and left as it was.
TEST(FinishStubImage, RefusesImagesWithoutLastresFirst) {
  testsupport::StubOptions without_rsrc, earlier_named_type;
  without_rsrc.without_rsrc = true;
  earlier_named_type.named_type_before_lastres = true;
  const Refusal cases[] = {{"without_rsrc", without_rsrc},
                           {"earlier_named_type", earlier_named_type}};
  for (const Refusal& c : cases) {
    const Bytes before = testsupport::build_stub(c.options);
    Bytes after;
    EXPECT_NE(run_step(before, c.name, after), 0) << c.name;
    EXPECT_EQ(after, before) << c.name;
  }
}

}  // namespace
}  // namespace stubtest
