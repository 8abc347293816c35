#include "cli/progress.hpp"

#include <unistd.h>

#include <cstdio>
#include <string>

namespace scrpkg {
namespace {

// Below this the extraction is over before a bar could be read.
constexpr std::uint64_t kLongExtraction = 1u << 20;
constexpr int kBarWidth = 40;

}  // namespace

Progress::Progress(std::uint64_t total_bytes, bool wanted)
    : total_(total_bytes),
      active_(wanted && total_bytes >= kLongExtraction && isatty(STDERR_FILENO)) {}

void Progress::advance(std::uint64_t bytes) {
  done_ += bytes;
}

void Progress::clear_line() const {
  if (active_) std::fprintf(stderr, "\r%*s\r", kBarWidth + 16, "");
}

void Progress::show() const {
  if (!active_) return;
  const std::uint64_t percent = total_ == 0 ? 100 : done_ * 100 / total_;
  const int filled = static_cast<int>(percent * kBarWidth / 100);
  const std::string bar = std::string(filled, '#') + std::string(kBarWidth - filled, '.');
  std::fprintf(stderr, "\r[%s] %3u%%", bar.c_str(), static_cast<unsigned>(percent));
  std::fflush(stderr);
}

}  // namespace scrpkg
