// A progress bar on stderr for long extractions, drawn only when stderr is a terminal.
#pragma once

#include <cstdint>

namespace scrpkg {

class Progress {
 public:
  Progress(std::uint64_t total_bytes, bool wanted);
  void show() const;  // draws the bar as it stands, before a long step
  void advance(std::uint64_t bytes);
  void clear_line() const;  // before other output and at the end: no bar is left behind

 private:
  std::uint64_t total_;
  std::uint64_t done_ = 0;
  bool active_;
};

}  // namespace scrpkg
