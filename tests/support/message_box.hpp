// A message box as the user saw it, for comparing transcripts in tests.
#pragma once

#include <ostream>
#include <string>

namespace testsupport {

struct Box {
  std::string caption;
  std::string text;
  unsigned type;
};

bool operator==(const Box& a, const Box& b);
void PrintTo(const Box& box, std::ostream* out);

// The failure boxes of an extraction, with their golden texts filled in.
Box not_created_box(const std::string& caption, const std::string& path);
Box no_memory_box(const std::string& saver);
Box incomplete_box(const std::string& installer);

// The confirmation, completion and disk-full texts; `windows` is the Windows directory as
// the box shows it, `folder` the data folder's last part ("AURORA").
std::string confirmation_text(const std::string& saver, const std::string& display,
                              const std::string& total);  // installing in C:\WINDOWS
std::string completion_text(const std::string& windows, const std::string& folder);
std::string disk_full_text(const std::string& needed, const std::string& available);

// The boxes that end an installation before anything is written.
Box too_long_box(const std::string& caption, const std::string& folder);
Box damaged_box(const std::string& installer);

}  // namespace testsupport
