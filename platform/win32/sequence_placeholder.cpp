// Stands in for the install sequence while the installer library has none: the stub then
// starts, shows nothing and exits with status 0.
#include "platform/platform.hpp"

namespace installer {

int run_install_sequence(platform::Module) {
  return 0;
}

}  // namespace installer
