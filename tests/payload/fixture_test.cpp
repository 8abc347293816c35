// The fixture builder itself: other test areas rely on these layouts.
#include <cstring>
#include <ostream>

#include "tests/payload/package_file.hpp"

namespace {

using namespace payload_test;
using testsupport::build_package;
using testsupport::build_stub;
using testsupport::PackageOptions;
using testsupport::StubOptions;

struct ImageCase {
  const char* label;
  bool pe32plus;
  std::uint16_t optional_size;
  std::uint16_t magic;
  std::uint16_t machine;
  friend void PrintTo(const ImageCase& c, std::ostream* os) { *os << c.label; }
};

class StubImage : public testing::TestWithParam<ImageCase> {};

TEST_P(StubImage, HasSignaturesAndOptionalHeaderOfItsFormat) {
  StubOptions options;
  options.pe32plus = GetParam().pe32plus;
  const Bytes stub = build_stub(options);
  EXPECT_EQ(stub.at(0), 'M');
  EXPECT_EQ(stub.at(1), 'Z');
  EXPECT_EQ(std::memcmp(&stub.at(pe_header(stub)), "PE\0\0", 4), 0);
  EXPECT_EQ(payload::get_u16(&stub.at(file_header(stub))), GetParam().machine);
  EXPECT_EQ(payload::get_u16(&stub.at(file_header(stub) + 16)), GetParam().optional_size);
  EXPECT_EQ(payload::get_u16(&stub.at(file_header(stub) + 20)), GetParam().magic);
  EXPECT_EQ(payload::get_u16(&stub.at(file_header(stub) + 2)), 2) << "code and resources";
}

TEST_P(StubImage, EndsWithResourceSectionWhosePlaceholderIsItsLastUsedBytes) {
  StubOptions options;
  options.pe32plus = GetParam().pe32plus;
  options.placeholder = 0x44332211;
  const Bytes stub = build_stub(options);
  const std::uint32_t header = resource_section_header(stub);
  EXPECT_EQ(std::memcmp(&stub.at(header), ".rsrc\0\0\0", 8), 0);
  const std::uint32_t used = u32_at(stub, header + 8);
  const std::uint32_t raw_size = u32_at(stub, header + 16);
  const std::uint32_t raw = u32_at(stub, header + 20);
  EXPECT_EQ(raw_size % 0x200, 0u);
  EXPECT_LT(raw_size - used, 0x200u);
  EXPECT_EQ(stub.size(), raw + raw_size);
  const std::uint32_t placeholder = testsupport::placeholder_offset(stub);
  EXPECT_EQ(placeholder + 4, raw + used);
  EXPECT_EQ(Bytes(stub.begin() + placeholder, stub.begin() + placeholder + 4),
            (Bytes{0x11, 0x22, 0x33, 0x44}));
}

INSTANTIATE_TEST_SUITE_P(Formats, StubImage,
                         testing::Values(ImageCase{"pe32", false, 224, 0x10B, 0x14C},
                                         ImageCase{"pe32plus", true, 240, 0x20B, 0x8664}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(StubVariants, LastresNotLastLeavesOtherDataAfterThePlaceholder) {
  StubOptions options;
  options.lastres_not_last = true;
  const Bytes stub = build_stub(options);
  const std::uint32_t header = resource_section_header(stub);
  const std::uint32_t placeholder = testsupport::placeholder_offset(stub);
  EXPECT_LT(placeholder + 4, u32_at(stub, header + 20) + u32_at(stub, header + 8));
  EXPECT_EQ(u32_at(stub, placeholder), options.placeholder);
}

TEST(StubVariants, WithoutResourceSectionHasNoPlaceholder) {
  StubOptions options;
  options.without_rsrc = true;
  const Bytes stub = build_stub(options);
  EXPECT_EQ(payload::get_u16(&stub.at(file_header(stub) + 2)), 1);
  EXPECT_EQ(testsupport::placeholder_offset(stub), 0u);
}

TEST(StubVariants, EarlierNamedTypeHoldsItsOwnData) {
  StubOptions options;
  options.named_type_before_lastres = true;
  const Bytes stub = build_stub(options);
  const std::uint32_t earlier =
      testsupport::resource_data_offset(stub, testsupport::kEarlierTypeName);
  ASSERT_NE(earlier, 0u);
  EXPECT_EQ(Bytes(stub.begin() + earlier, stub.begin() + earlier + 8), bytes_of("EARLIER!"));
  EXPECT_EQ(u32_at(stub, testsupport::placeholder_offset(stub)), options.placeholder);
}

TEST(Package, IsTheStubCutAtThePlaceholderFollowedByThePayload) {
  PackageOptions options;
  options.name = "Aurora";
  options.base = 3;
  const Bytes stub = build_stub(options.stub);
  const Bytes package =
      build_package({{Bytes(118, 0xA1), 0, ".SCR"}, {Bytes(61, 0xB2), 900, ".DAT"}}, options);
  const std::uint32_t header = testsupport::payload_offset(package);
  ASSERT_EQ(header, testsupport::placeholder_offset(stub));
  EXPECT_TRUE(std::equal(stub.begin(), stub.begin() + header, package.begin()));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&package.at(header)), 32),
            std::string("Aurora") + std::string(26, '\0'));
  EXPECT_EQ(payload::get_u16(&package.at(header + 32)), 3);
  // Two entries and the terminator: the first body starts 82 bytes after the header.
  const payload::Entry first = payload::decode_entry(&package.at(header + 34));
  const payload::Entry second = payload::decode_entry(&package.at(header + 50));
  const payload::Entry last = payload::decode_entry(&package.at(header + 66));
  EXPECT_EQ(first.offset, header + 82);
  EXPECT_EQ(first.stored_size, 118u);
  EXPECT_EQ(first.original_size, 0u);
  EXPECT_EQ(std::string(first.extension, 4), ".SCR");
  EXPECT_EQ(second.offset, header + 82 + 118);
  EXPECT_EQ(second.original_size, 900u);
  EXPECT_EQ(second.offset + second.stored_size, package.size());
  EXPECT_EQ(package.at(second.offset), 0xB2);
  EXPECT_EQ(last.offset | last.stored_size | last.original_size, 0u);
}

TEST(Package, MovedHeaderKeepsTheUnmovedOffsets) {
  const std::vector<testsupport::PayloadEntry> entries{{Bytes(40, 1), 0, ".SCR"}};
  const Bytes plain = build_package(entries);
  for (const std::int32_t shift : {-16, 24}) {
    PackageOptions options;
    options.move_header = shift;
    const Bytes moved = build_package(entries, options);
    EXPECT_EQ(static_cast<std::int64_t>(testsupport::payload_offset(moved)),
              static_cast<std::int64_t>(testsupport::payload_offset(plain)) + shift);
    EXPECT_EQ(u32_at(moved, entry_position(moved, 0)), u32_at(plain, entry_position(plain, 0)));
    EXPECT_EQ(moved.size(), plain.size() + shift);
  }
}

TEST(Package, LongNameIsCutToTheFieldAndShortExtensionPadded) {
  PackageOptions options;
  options.name = std::string(40, 'N');
  const Bytes package = build_package({{Bytes(4, 7), 0, ".B"}}, options);
  const std::uint32_t header = testsupport::payload_offset(package);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&package.at(header)), 32),
            std::string(32, 'N'));
  EXPECT_EQ(payload::get_u16(&package.at(header + 32)), 3);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&package.at(header + 34 + 12)), 4),
            std::string(".B\0\0", 4));
}

}  // namespace
