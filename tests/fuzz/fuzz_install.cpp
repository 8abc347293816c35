// The install sequence in the POSIX sandbox over arbitrary packages, answers and faults.
// Whatever happens: nothing is written outside the Windows folder's own files and the data
// folder, files that were there stay, a damaged package writes nothing, and a run that
// reports completion has written every entry whole.
//
// Input: one byte of answers (two bits per message box, picking one of its buttons), one
// byte of faults, one byte scaling the write limit, then the package.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "installer/sequence.hpp"
#include "payload/header.hpp"
#include "payload/locator.hpp"
#include "platform/platform.hpp"
#include "platform/posix/sandbox.hpp"
#include "tests/fuzz/fuzz_support.hpp"

namespace {

namespace fs = fuzz::fs;

constexpr std::uint64_t kWriteCeiling = 1u << 16;  // bounds the time one input may take
constexpr const char kKept[] = "kept from before\n";

enum Fault : std::uint8_t {
  kLowDisk = 1,
  kWriteLimit = 2,
  kNoOpenGl = 4,
  kNoGlu = 8,
  kNoDirectories = 16,
  kNoMemory = 32,
  kEarlierSaver = 64,
  kNoModulePath = 128,
};

struct Layout {
  fs::path root, drive, windows, package, keep, beside, earlier_saver;
};

Layout make_layout(const fs::path& root) {
  const fs::path drive = root / "drive";
  const fs::path windows = drive / "WINDOWS";
  return {root,
          drive,
          windows,
          root / "pkg" / "Aurora.exe",
          windows / "KEEP.TXT",
          drive / "BESIDE.TXT",
          windows / "AURORA.SCR"};
}

void put(const fs::path& path, const std::string& text) {
  fuzz::write_bytes(path, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

std::vector<int> buttons_of(unsigned type) {
  switch (type & 0x0F) {
    case platform::kMbOkCancel:
      return {platform::kIdOk, platform::kIdCancel};
    case platform::kMbYesNoCancel:
      return {platform::kIdYes, platform::kIdNo, platform::kIdCancel};
    case platform::kMbYesNo:
      return {platform::kIdYes, platform::kIdNo};
    default:
      return {platform::kIdOk};
  }
}

platform::posix::Config sandbox_config(const Layout& layout, std::uint8_t answers,
                                       std::uint8_t faults, std::uint8_t limit,
                                       std::vector<std::string>& texts) {
  platform::posix::Config config;
  config.machine.windows_dir_host = layout.windows.string();
  config.machine.module_host_path = layout.package.string();
  config.machine.answer = [answers, box = 0](const std::string&, const std::string&,
                                             unsigned type) mutable {
    const std::vector<int> buttons = buttons_of(type);
    const int pick = (answers >> (2 * (box++ % 4))) & 3;
    return buttons[static_cast<std::size_t>(pick) % buttons.size()];
  };
  config.observe = [&texts](const platform::posix::Event& e) {
    if (e.kind == platform::posix::Event::Kind::message_box) texts.push_back(e.text);
  };
  config.machine.free_kb = (faults & kLowDisk) != 0 ? 1 : 1000000;
  if ((faults & kNoOpenGl) != 0) config.machine.missing.insert("OPENGL32.DLL");
  if ((faults & kNoGlu) != 0) config.machine.missing.insert("GLU32.DLL");
  config.faults.fail_create_directory = (faults & kNoDirectories) != 0;
  config.faults.fail_local_alloc = (faults & kNoMemory) != 0;
  config.faults.no_module_path = (faults & kNoModulePath) != 0;
  config.faults.write_limit =
      (faults & kWriteLimit) != 0 ? std::uint64_t{limit} * 97 : kWriteCeiling;
  return config;
}

bool completion_shown(const std::vector<std::string>& texts) {
  for (const std::string& text : texts) {
    if (text.rfind("Installatie volledig!", 0) == 0) return true;
  }
  return false;
}

std::string extra_file_name(std::uint32_t index, std::uint16_t base, const payload::Entry& e) {
  char number[16];
  std::snprintf(number, sizeof number, "FILE%04u", static_cast<unsigned>(index + base - 2));
  std::string name = number;
  for (char c : e.extension) {
    if (c == '\0') break;
    name += c;
  }
  return name;
}

// The decoder compares sizes as signed 32-bit values: from 2 GiB up it restores nothing.
std::uint64_t expected_size(const payload::Entry& e) {
  return payload::is_compressed(e) && e.original_size >= 0x80000000u ? 0
                                                                     : payload::installed_size(e);
}

// A completed run has written every entry of the table with its expected size.
void check_every_entry_written(const Layout& layout) {
  const platform::File file = payload::locate_payload(layout.package.c_str());
  FUZZ_REQUIRE(file != platform::kInvalidFile, "completed without a payload");
  payload::Header header;
  std::vector<payload::Entry> entries(4096);
  std::uint32_t count = 0;
  const bool whole = payload::read_table(file, header, entries.data(), 4096, &count);
  platform::file_close(file);
  FUZZ_REQUIRE(whole, "completed with a table cut short");
  const fs::path data = layout.windows / "TOLVERAN" / "LUMIVANE" / "Aurora";
  for (std::uint32_t i = 0; i < count && i < 4096; ++i) {
    const fs::path target = i == 0   ? layout.windows / "AURORA.SCR"
                            : i == 1 ? data / "Aurora.DAT"
                                     : data / extra_file_name(i, header.base, entries[i]);
    std::error_code error;
    const std::uintmax_t size = fs::file_size(target, error);
    FUZZ_REQUIRE(!error && size == expected_size(entries[i]),
                 "completed, but " + target.string() +
                     (error ? std::string(" is missing") : " holds " + std::to_string(size)));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const Layout layout = make_layout(fuzz::Scratch::instance().fresh());
  fuzz::write_bytes(layout.package, data + 3, size - 3);
  put(layout.keep, kKept);
  put(layout.beside, kKept);
  if ((data[1] & kEarlierSaver) != 0) put(layout.earlier_saver, kKept);

  std::vector<std::string> texts;
  platform::posix::configure(sandbox_config(layout, data[0], data[1], data[2], texts));
  const int status = installer::run_install_sequence(nullptr);
  platform::posix::configure({});

  FUZZ_REQUIRE(status >= 0 && status <= 2, "status " + std::to_string(status));
  const auto outside =
      fuzz::written_outside(layout.root, layout.windows / "TOLVERAN" / "LUMIVANE" / "Aurora",
                            {layout.package, layout.keep, layout.beside, layout.earlier_saver,
                             layout.windows / "system.ini"});
  FUZZ_REQUIRE(outside.empty(), "written outside the data folder: " + outside.front());
  FUZZ_REQUIRE(fuzz::read_bytes(layout.keep).size() == sizeof kKept - 1, "KEEP.TXT changed");
  FUZZ_REQUIRE(fuzz::read_bytes(layout.beside).size() == sizeof kKept - 1, "BESIDE.TXT changed");
  FUZZ_REQUIRE(fuzz::read_bytes(layout.package) == std::vector<std::uint8_t>(data + 3, data + size),
               "the package changed");
  if (status == installer::kExitDamaged) {
    FUZZ_REQUIRE(
        !fs::exists(layout.windows / "TOLVERAN") && !fs::exists(layout.windows / "system.ini"),
        "damaged, yet something was written");
    if ((data[1] & kEarlierSaver) != 0) {
      FUZZ_REQUIRE(fuzz::read_bytes(layout.earlier_saver).size() == sizeof kKept - 1,
                   "damaged, yet the earlier screen saver was replaced");
    }
  }
  // A target that can't be created is passed over by design, so without directories the
  // completion says nothing about the files.
  if (status == installer::kExitInstalledOrDeclined && completion_shown(texts) &&
      (data[1] & kNoDirectories) == 0) {
    check_every_entry_written(layout);
  }
  return 0;
}
