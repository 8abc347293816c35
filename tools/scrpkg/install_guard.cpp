#include "install_guard.hpp"

#include <optional>

#include "inspect_cli.hpp"
#include "inspect_names.hpp"
#include "inspect_output_file.hpp"
#include "inspect_package.hpp"

namespace scrpkg {

void refuse_unsafe_install(const std::string& package_path, const std::string& windows_dir) {
  std::string reason;
  const std::optional<Package> package = read_package(package_path, reason);
  if (!package) {
    std::error_code ec;
    if (auto problem = package_size_problem(std::filesystem::file_size(package_path, ec)))
      fail(kExitDamaged, package_path + ": " + *problem);
    return;
  }
  const auto names =
      installed_names(installer_module_path(package_path), package->base, package->entries);
  if (!names) return;
  for (const std::string& relative : *names) {
    const auto target = host_path_inside(windows_dir, relative);
    if (target && same_file(*target, package_path))
      fail(kExitUsage, target->string() + ": is the package being read (" + package_path +
                           "); nothing installed");
  }
}

}  // namespace scrpkg
