#include "install/guard.hpp"

#include <optional>

#include "cli/status.hpp"
#include "inspect/names.hpp"
#include "cli/output_file.hpp"
#include "inspect/package.hpp"
#include "platform/posix/sandbox.hpp"

namespace scrpkg::install {

void refuse_unsafe_install(const std::string& package_path, const std::string& windows_dir) {
  std::string reason;
  const std::optional<inspect::Package> package = inspect::read_package(package_path, reason);
  if (!package) {
    std::error_code ec;
    if (auto problem = inspect::package_size_problem(std::filesystem::file_size(package_path, ec)))
      throw Failure{kExitDamaged, package_path + ": " + *problem};
    return;
  }
  const auto names = inspect::installed_names(package_path, package->base, package->entries);
  if (!names) return;
  for (const std::string& relative : *names) {
    // Found as the sandbox finds it, under any case of its name.
    const std::string target = platform::posix::host_path_in(windows_dir, relative);
    if (!target.empty() && same_file(target, package_path))
      throw Failure{kExitUsage, target + ": is the package being read (" + package_path +
                                    "); nothing installed"};
  }
}

}  // namespace scrpkg::install
