// The inspector's test and extract over arbitrary packages, in-process: a package is either
// refused with nothing written, or every entry lands inside the output folder with exactly
// its installed size. The package itself is never touched.
#include <CLI/CLI.hpp>

#include <cstdint>
#include <string>
#include <vector>

#include "decode/decoder.hpp"
#include "inspect/bodies.hpp"
#include "cli/status.hpp"
#include "inspect/extract.hpp"
#include "inspect/package.hpp"
#include "tests/fuzz/fuzz_support.hpp"

namespace {

// Larger packages decode for too long per input (fuzz_decode_large takes large outputs);
// the sizes alone are still fuzzed. This is past the output stream's chunk.
constexpr std::uint64_t kLargestInstall = 1u << 16;

bool small_enough(const scrpkg::Package& package) {
  for (const payload::Entry& e : package.entries) {
    if (payload::installed_size(e) > kLargestInstall) return false;
  }
  return scrpkg::installed_total(package) <= kLargestInstall;
}

// What `scrpkg test` and `scrpkg extract` do with the package; the exit status.
int test_and_extract(const std::string& package_path, const fuzz::fs::path& out,
                     std::vector<scrpkg::PlannedFile>& plan, scrpkg::Package& package) {
  try {
    package = scrpkg::read_sound_package(package_path);
    if (!small_enough(package)) return -1;
    scrpkg::body_outside_file(package);
    scrpkg::decode_all_in_memory(package);
    plan = scrpkg::plan_extraction(package, out);
    decode::decoder_reset_process_state();
    for (const scrpkg::PlannedFile& file : plan) scrpkg::extract_entry(package, file);
  } catch (const CLI::RuntimeError& e) {
    return e.get_exit_code();
  }
  return scrpkg::kExitOk;
}

void check_extracted(const scrpkg::Package& package, const std::vector<scrpkg::PlannedFile>& plan) {
  for (const scrpkg::PlannedFile& file : plan) {
    std::error_code error;
    const std::uintmax_t size = fuzz::fs::file_size(file.host_target, error);
    const std::uint32_t expected = payload::installed_size(package.entries[file.index]);
    FUZZ_REQUIRE(!error && size == expected,
                 file.relative + ": " + std::to_string(size) + " of " + std::to_string(expected));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::fs::path& root = fuzz::Scratch::instance().fresh();
  const fuzz::fs::path package_path = root / "pkg" / "Aurora.exe";
  const fuzz::fs::path out = root / "out";
  fuzz::write_bytes(package_path, data, size);

  std::vector<scrpkg::PlannedFile> plan;
  scrpkg::Package package;
  const int status = test_and_extract(package_path.string(), out, plan, package);

  FUZZ_REQUIRE(status == -1 || status == scrpkg::kExitOk || status == scrpkg::kExitDamaged ||
                   status == scrpkg::kExitUsage,
               "status " + std::to_string(status));
  const auto outside = fuzz::written_outside(root, out, {package_path});
  FUZZ_REQUIRE(outside.empty(), "written outside the output folder: " + outside.front());
  FUZZ_REQUIRE(fuzz::read_bytes(package_path) == std::vector<std::uint8_t>(data, data + size),
               "the package changed");
  if (status == scrpkg::kExitDamaged) FUZZ_REQUIRE(!fuzz::fs::exists(out), "refused but wrote");
  if (status == scrpkg::kExitOk) check_extracted(package, plan);
  return 0;
}
