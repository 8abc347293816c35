// The checks run before anything is written. Each returns 1 to go on, 0 to stop.
#pragma once

#include "platform/platform.hpp"

namespace installer {

// Asks before replacing a screen saver of the same name; on No, explains how to install
// under another name and stops.
int check_existing_saver(platform::Module module);

// Sums the installed size and asks when the Windows directory's drive has no more free
// kilobytes than it needs.
int check_disk_space();

// Offers to download OPENGL32.DLL or GLU32.DLL when missing, and asks about an outdated
// OPENGL32.DLL.
int check_3d_libraries();

// Opens the support-files page in the browser, with a message when that fails.
void open_support_page();

}  // namespace installer
