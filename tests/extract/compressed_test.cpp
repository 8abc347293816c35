#include "tests/decode/token_encoder.hpp"
#include "tests/extract/sandbox_fixture.hpp"

#include <optional>
#include <string>

namespace extract_test {
namespace {

using payload::ExtractStatus;

// Repetitive text, longer than one 16 KB output buffer, so the stream carries matches.
Bytes sample_text(std::size_t size, int seed) {
  Bytes text;
  for (int line = 0; text.size() < size; ++line) {
    const std::string s = "line " + std::to_string(line * seed) + " of the aurora data\r\n";
    text.insert(text.end(), s.begin(), s.end());
  }
  text.resize(size);
  return text;
}

PayloadEntry compressed(const Bytes& original, const std::string& extension) {
  const Bytes body = testsupport::encode_tokens(testsupport::greedy_tokens(original));
  return PayloadEntry{body, static_cast<std::uint32_t>(original.size()), extension};
}

struct Slot {
  bool compressed;
  const char* extension;
  const char* written_as;  // below the Windows directory
};

const char kSaver[] = "AURORA.SCR";
const char kData[] = "TOLVERAN/LUMIVANE/Aurora/Aurora.DAT";

const std::vector<std::vector<Slot>> kLayouts = {
    {{false, ".SCR", kSaver},
     {true, ".DAT", kData},
     {false, ".BMP", "TOLVERAN/LUMIVANE/Aurora/FILE0003.BMP"},
     {false, ".WAV", "TOLVERAN/LUMIVANE/Aurora/FILE0004.WAV"}},
    {{true, ".SCR", kSaver}, {false, ".DAT", kData}},
    {{false, ".SCR", kSaver},
     {true, ".DAT", kData},
     {true, ".JPG", "TOLVERAN/LUMIVANE/Aurora/FILE0003.JPG"},
     {false, ".TXT", "TOLVERAN/LUMIVANE/Aurora/FILE0004.TXT"}},
};

using CompressedExtraction = Sandbox;

TEST_F(CompressedExtraction, TheWalkGoesOnWithTheEntryAfterACompressedOne) {
  for (std::size_t layout = 0; layout < kLayouts.size(); ++layout) {
    std::vector<PayloadEntry> entries;
    std::vector<Bytes> originals;
    for (std::size_t i = 0; i < kLayouts[layout].size(); ++i) {
      const Slot& slot = kLayouts[layout][i];
      const int seed = static_cast<int>(layout * 10 + i + 1);
      originals.push_back(slot.compressed ? sample_text(20000 + 999 * i, seed)
                                          : pattern_bytes(2500 + 700 * i, seed));
      entries.push_back(slot.compressed ? compressed(originals.back(), slot.extension)
                                        : stored(originals.back(), slot.extension));
    }
    install_package(testsupport::build_package(entries));
    ASSERT_EQ(extract().status, ExtractStatus::done) << layout;
    for (std::size_t i = 0; i < originals.size(); ++i) {
      EXPECT_EQ(windows_file(kLayouts[layout][i].written_as), originals[i]) << layout << " " << i;
    }
    EXPECT_EQ(registrations(), 1) << layout;
  }
}

TEST_F(CompressedExtraction, AFailureWhileDecodingStopsTheWalk) {
  const struct {
    const char* what;
    std::optional<std::uint64_t> write_limit;  // none: the data folder can't be made instead
    ExtractStatus expected;
  } cases[] = {{"short write", 3000 + 100, ExtractStatus::write_failed},
               {"target not created", std::nullopt, ExtractStatus::create_failed}};
  const Bytes saver = pattern_bytes(3000, 1);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(windows_);
    use_windows_folder("WINDOWS");
    install_package(testsupport::build_package({stored(saver, ".SCR"),
                                                compressed(sample_text(40000, 3), ".DAT"),
                                                stored(pattern_bytes(100, 4), ".BMP")}));
    configure_sandbox([&](platform::posix::Config& config) {
      config.faults.write_limit = c.write_limit;
      config.faults.fail_create_directory = !c.write_limit;
    });
    const auto result = extract();
    EXPECT_EQ(result.status, c.expected);
    EXPECT_STREQ(result.failed_path, "C:\\WINDOWS\\TOLVERAN\\LUMIVANE\\Aurora\\Aurora.DAT");
    EXPECT_EQ(windows_file(kSaver), saver);
    EXPECT_FALSE(fs::exists(windows_ / "TOLVERAN/LUMIVANE/Aurora/FILE0003.BMP"));
    EXPECT_FALSE(fs::exists(windows_ / "system.ini"));
    EXPECT_EQ(registrations(), 0);
  }
}

}  // namespace
}  // namespace extract_test
