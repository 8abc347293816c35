// The inspector's test and extract over arbitrary packages, in-process: a package is either
// refused with nothing written, or every entry lands inside the output folder with exactly
// its installed size. The package itself is never touched.
#include <cstdint>
#include <iostream>
#include <optional>
#include <string>

#include "cli/status.hpp"
#include "inspect/commands.hpp"
#include "inspect/extract.hpp"
#include "inspect/package.hpp"
#include "tests/fuzz/fuzz_support.hpp"

namespace {

// Larger packages decode for too long per input (fuzz_decode_large takes large outputs);
// they are only listed. This is past the output stream's chunk.
constexpr std::uint64_t kLargestInstall = 1u << 16;

bool small_enough(const std::string& package_path) {
  std::string reason;
  const std::optional<scrpkg::inspect::Package> package =
      scrpkg::inspect::read_package(package_path, reason);
  if (!package) return true;
  for (const payload::Entry& e : package->entries) {
    if (payload::installed_size(e) > kLargestInstall) return false;
  }
  return scrpkg::inspect::installed_total(*package) <= kLargestInstall;
}

// Every entry is where the plan puts it, with its installed size.
void check_extracted(const std::string& package_path, const fuzz::fs::path& out) {
  const scrpkg::inspect::Package package = scrpkg::inspect::read_sound_package(package_path);
  for (const scrpkg::inspect::PlannedFile& file : scrpkg::inspect::plan_extraction(package, out)) {
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

  const std::string path = package_path.string();
  std::cout.setstate(std::ios::badbit);  // the commands' output would flood the log
  std::cerr.setstate(std::ios::badbit);
  if (!small_enough(path)) {
    scrpkg::inspect::run_list({path, false});
    return 0;
  }
  // What `scrpkg test` and then `scrpkg extract` do with the package.
  int status = scrpkg::inspect::run_test({path, true, false});
  if (status == scrpkg::kExitOk) status = scrpkg::inspect::run_extract({path, out.string(), true});

  FUZZ_REQUIRE(
      status == scrpkg::kExitOk || status == scrpkg::kExitDamaged || status == scrpkg::kExitUsage,
      "status " + std::to_string(status));
  const auto outside = fuzz::written_outside(root, out, {package_path});
  FUZZ_REQUIRE(outside.empty(), "written outside the output folder: " + outside.front());
  FUZZ_REQUIRE(fuzz::read_bytes(package_path) == std::vector<std::uint8_t>(data, data + size),
               "the package changed");
  if (status == scrpkg::kExitDamaged) FUZZ_REQUIRE(!fuzz::fs::exists(out), "refused but wrote");
  if (status == scrpkg::kExitOk) check_extracted(path, out);
  return 0;
}
