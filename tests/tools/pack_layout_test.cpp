// Package layout as the packer writes it, read back field by field from the bytes.
#include <gtest/gtest.h>

#include <string>

#include "payload/format.hpp"
#include "tests/support/pe_builder.hpp"
#include "tests/tools/encoder_test_support.hpp"
#include "tools/encoder/package_builder.hpp"
#include "tools/encoder/package_error.hpp"

namespace {

using encoder_test::Bytes;

struct Table {
  std::string name;
  std::uint16_t base;
  std::vector<payload::Entry> entries;  // up to and including the terminator
};

Table read_table(const Bytes& package, std::uint32_t at) {
  Table t;
  const char* name = reinterpret_cast<const char*>(&package.at(at));
  t.name.assign(name, std::find(name, name + payload::kNameSize, '\0'));
  t.base = payload::get_u16(&package.at(at + payload::kNameSize));
  for (std::uint32_t e = at + payload::kHeaderSize;; e += payload::kEntrySize) {
    package.at(e + payload::kEntrySize - 1);
    t.entries.push_back(payload::decode_entry(&package[e]));
    if (t.entries.back().stored_size == 0) return t;
  }
}

Bytes body_of(const Bytes& package, const payload::Entry& e) {
  return Bytes(package.begin() + e.offset, package.begin() + e.offset + e.stored_size);
}

Bytes restored(const Bytes& package, const payload::Entry& e) {
  const Bytes body = body_of(package, e);
  return payload::is_compressed(e) ? encoder_test::shipped_decode(body, e.original_size) : body;
}

packer::PackSettings settings(const std::string& name, std::uint16_t base) {
  packer::PackSettings s;
  s.name = name;
  s.base = base;
  return s;
}

TEST(PackLayout, CutsTheStubAtItsPlaceholder) {
  const Bytes stub = testsupport::build_stub();
  const packer::StubLayout layout = packer::inspect_stub(stub);
  EXPECT_EQ(layout.payload_offset, testsupport::placeholder_offset(stub));
  EXPECT_EQ(layout.raw_end, stub.size());
}

TEST(PackLayout, HeaderTableAndBodiesFollowTheStub) {
  const Bytes stub = testsupport::build_stub();
  const packer::StubLayout layout = packer::inspect_stub(stub);
  const Bytes text(20000, 'a');
  const Bytes noise = encoder_test::random_bytes(3000, 4);
  const Bytes extra{1, 2, 3};
  const Bytes package = packer::build_package(
      stub, layout, {{".SCR", text}, {".DAT", noise}, {".BMP", extra}}, settings("Aurora", 9));

  ASSERT_TRUE(std::equal(stub.begin(), stub.begin() + layout.payload_offset, package.begin()));
  const Table t = read_table(package, layout.payload_offset);
  EXPECT_EQ(t.name, "Aurora");
  EXPECT_EQ(t.base, 9);
  ASSERT_EQ(t.entries.size(), 4u);
  const std::uint32_t first_body =
      layout.payload_offset + payload::kHeaderSize + 4 * payload::kEntrySize;
  EXPECT_EQ(t.entries[0].offset, first_body);
  for (std::size_t i = 1; i < 3; ++i) {
    EXPECT_EQ(t.entries[i].offset, t.entries[i - 1].offset + t.entries[i - 1].stored_size) << i;
  }
  const char* extensions[] = {".SCR", ".DAT", ".BMP"};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(std::string(t.entries[i].extension, 4), std::string(extensions[i], 4)) << i;
  }
  const Bytes zero_entry(payload::kEntrySize, 0);
  EXPECT_TRUE(std::equal(zero_entry.begin(), zero_entry.end(),
                         package.begin() + first_body - payload::kEntrySize));
  EXPECT_EQ(restored(package, t.entries[0]), text);
  EXPECT_EQ(restored(package, t.entries[1]), noise);
  EXPECT_EQ(restored(package, t.entries[2]), extra);
  const std::size_t end = t.entries[2].offset + t.entries[2].stored_size;
  EXPECT_EQ(package.size(), std::max<std::size_t>(end, layout.raw_end));
}

struct StoreCase {
  std::string label;
  Bytes contents;
  bool store_flag;
  bool expect_compressed;
};

TEST(PackLayout, StoresAnEntryWhenCompressionWouldNotShrinkIt) {
  const StoreCase cases[] = {
      {"compressible", Bytes(5000, 'x'), false, true},
      {"compressible_with_store_flag", Bytes(5000, 'x'), true, false},
      {"random", encoder_test::random_bytes(5000, 8), false, false},
      {"one_byte", Bytes{'x'}, false, false},
  };
  const Bytes stub = testsupport::build_stub();
  const packer::StubLayout layout = packer::inspect_stub(stub);
  for (const StoreCase& c : cases) {
    packer::PackSettings s = settings("S", 3);
    s.store = c.store_flag;
    const Bytes package = packer::build_package(stub, layout, {{".SCR", c.contents}}, s);
    const payload::Entry e = read_table(package, layout.payload_offset).entries.at(0);
    EXPECT_EQ(payload::is_compressed(e), c.expect_compressed) << c.label;
    if (c.expect_compressed) {
      EXPECT_EQ(e.original_size, c.contents.size()) << c.label;
      EXPECT_LT(e.stored_size, c.contents.size()) << c.label;
    } else {
      EXPECT_EQ(body_of(package, e), c.contents) << c.label;
    }
    EXPECT_EQ(restored(package, e), c.contents) << c.label;
  }
}

// The stub with its resource section's raw data (the last section's) grown by `extra`
// zero bytes, as a linker with a large file alignment leaves it.
Bytes stub_with_raw_slack(std::uint32_t extra) {
  Bytes stub = testsupport::build_stub();
  const std::uint32_t pe = payload::get_u32(&stub[0x3C]);
  const std::uint32_t sections = payload::get_u16(&stub[pe + 6]);
  std::uint32_t header = pe + 24 + payload::get_u16(&stub[pe + 20]);
  for (std::uint32_t i = 0; i < sections; ++i, header += 40) {
    if (std::string(reinterpret_cast<const char*>(&stub[header])) != ".rsrc") continue;
    payload::put_u32(&stub[header + 16], payload::get_u32(&stub[header + 16]) + extra);
  }
  stub.resize(stub.size() + extra, 0);
  return stub;
}

TEST(PackLayout, SmallPackageIsPaddedWithZerosToTheStubsRawEnd) {
  const Bytes stub = stub_with_raw_slack(512);
  const packer::StubLayout layout = packer::inspect_stub(stub);
  const Bytes package =
      packer::build_package(stub, layout, {{".SCR", Bytes{'M', 'Z'}}}, settings("S", 3));
  const std::size_t payload_end =
      layout.payload_offset + payload::kHeaderSize + 2 * payload::kEntrySize + 2;
  ASSERT_LT(payload_end, layout.raw_end) << "the stub leaves no room to pad";
  ASSERT_EQ(layout.raw_end, stub.size());
  ASSERT_EQ(package.size(), stub.size());
  EXPECT_TRUE(std::all_of(package.begin() + payload_end, package.end(),
                          [](std::uint8_t b) { return b == 0; }));
}

TEST(PackLayout, RefusesAnEmptyFile) {
  const Bytes stub = testsupport::build_stub();
  EXPECT_THROW(packer::build_package(stub, packer::inspect_stub(stub),
                                     {{".SCR", Bytes{1}}, {".DAT", Bytes{}}}, settings("S", 3)),
               packer::PackError);
}

struct StubCase {
  std::string label;
  testsupport::StubOptions options;
};

TEST(PackStub, RefusesStubsWithoutAPlaceholderFirstAndLast) {
  std::vector<StubCase> cases(3);
  cases[0].label = "without_rsrc";
  cases[0].options.without_rsrc = true;
  cases[1].label = "named_type_before_lastres";
  cases[1].options.named_type_before_lastres = true;
  cases[2].label = "lastres_not_last";
  cases[2].options.lastres_not_last = true;
  for (const StubCase& c : cases) {
    EXPECT_THROW(packer::inspect_stub(testsupport::build_stub(c.options)), packer::PackError)
        << c.label;
  }
}

TEST(PackStub, AcceptsThe64BitTestBuildOfTheStub) {
  testsupport::StubOptions wide;
  wide.pe32plus = true;
  const Bytes stub = testsupport::build_stub(wide);
  EXPECT_EQ(packer::inspect_stub(stub).payload_offset, testsupport::placeholder_offset(stub));
}

TEST(PackStub, RefusesTruncatedAndForeignFiles) {
  const Bytes stub = testsupport::build_stub();
  const Bytes truncated(stub.begin(), stub.begin() + 300);
  const Bytes text{'h', 'e', 'l', 'l', 'o'};
  EXPECT_THROW(packer::inspect_stub(truncated), packer::PackError);
  EXPECT_THROW(packer::inspect_stub(text), packer::PackError);
}

}  // namespace
