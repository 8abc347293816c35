// The install sequence: checks, confirmation, extraction in the progress dialog,
// completion, order-info and the launch of the installed screen saver.
#pragma once

#include "platform/platform.hpp"

namespace installer {

// Process exit statuses of the install sequence.
constexpr int kExitInstalledOrDeclined = 0;  // installed, or the user chose to stop
constexpr int kExitFailed = 1;               // the installation could not be completed
constexpr int kExitDamaged = 2;              // the installer's payload is damaged

// Runs the whole sequence for the installer whose module handle is given; returns the
// process exit status. The module handle is kept first for every later step.
int run_install_sequence(platform::Module module);

// The installer's module handle kept by run_install_sequence.
platform::Module installer_module();

}  // namespace installer
