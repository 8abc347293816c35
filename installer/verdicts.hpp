// The failure messages of the install sequence: a damaged installer, target paths that do
// not fit, and an extraction that could not finish.
#pragma once

#include "payload/extract.hpp"
#include "platform/platform.hpp"

namespace installer {

// Tells the user the installer is damaged or incomplete, naming its file.
void report_damaged(platform::Module module);

// True, after telling the user which folder is too deep, when a target path would not fit.
bool report_paths_too_long(platform::Module module, const char* caption);

// The exit status for the extraction's outcome, after telling the user about a failure:
// 0 to go on with the completion.
int report_extraction_failure(platform::Module module, const char* caption,
                              const payload::ExtractResult* extraction);

}  // namespace installer
