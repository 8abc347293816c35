#include "cli/output_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#else
#include <unistd.h>
#endif

namespace scrpkg {
namespace {

namespace fs = std::filesystem;

// The C library's calls that the file needs, under one name each: the Windows one spells
// them with an underscore, seeks with 64-bit offsets and deletes a file with remove().
#ifdef _WIN32
constexpr int kCreateFlags = _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY;
constexpr int kCreateMode = _S_IREAD | _S_IWRITE;
constexpr auto& sys_open = ::_open;
constexpr auto& sys_write = ::_write;
constexpr auto& sys_seek = ::_lseeki64;
constexpr auto& sys_sync = ::_commit;
constexpr auto& sys_close = ::_close;
constexpr auto& process_id = ::_getpid;
constexpr auto& sys_unlink = ::remove;
#else
constexpr int kCreateFlags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;
constexpr int kCreateMode = 0666;
constexpr auto& sys_open = ::open;
constexpr auto& sys_write = ::write;
constexpr auto& sys_seek = ::lseek;
constexpr auto& sys_sync = ::fsync;
constexpr auto& sys_close = ::close;
constexpr auto& process_id = ::getpid;
constexpr auto& sys_unlink = ::unlink;
#endif

[[noreturn]] void throw_errno(int error = errno) {
  throw OutputError(std::strerror(error));
}

// The temporaries open at any moment, for the signal handler to remove. A slot is taken
// by filling its path and then marking it used; the handler reads only used slots.
constexpr int kSlots = 8;
constexpr std::size_t kSlotPath = 4096;
struct Temporaries {
  char path[kSlots][kSlotPath];
  volatile std::sig_atomic_t used[kSlots];
};
Temporaries g_temporaries;

extern "C" void remove_temporaries_and_die(int signal_number) {
  for (int i = 0; i < kSlots; ++i) {
    if (g_temporaries.used[i]) sys_unlink(g_temporaries.path[i]);
  }
  std::signal(signal_number, SIG_DFL);
  std::raise(signal_number);
}

// Installed once; a signal the caller chose to ignore stays ignored.
void catch_interruptions() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  for (int signal_number : {SIGINT, SIGTERM}) {
    if (std::signal(signal_number, remove_temporaries_and_die) == SIG_IGN)
      std::signal(signal_number, SIG_IGN);
  }
}

int take_slot(const fs::path& temporary) {
  const std::string text = temporary.string();
  if (text.size() >= kSlotPath) return -1;  // still removed on failure, only not on a signal
  for (int i = 0; i < kSlots; ++i) {
    if (g_temporaries.used[i]) continue;
    std::memcpy(g_temporaries.path[i], text.c_str(), text.size() + 1);
    g_temporaries.used[i] = 1;
    return i;
  }
  return -1;
}

// A symbolic link is written through, as a plain write would: the file it leads to is
// replaced, in that file's folder, and the link stays.
fs::path written_path(const fs::path& target) {
  constexpr int kMostLinks = 40;  // as many as the system follows before it gives up
  fs::path path = target;
  std::error_code ec;
  for (int i = 0; i < kMostLinks && fs::is_symlink(path, ec); ++i) {
    const fs::path next = fs::read_symlink(path, ec);
    if (ec) break;
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  return path;
}

}  // namespace

OutputFile::OutputFile(const fs::path& target) : target_(written_path(target)) {
  catch_interruptions();
  std::error_code ec;
  replaces_ = fs::exists(target_, ec);
  const fs::path folder = target_.parent_path().empty() ? fs::path(".") : target_.parent_path();
  const std::string stem = "." + target_.filename().string() + "." + std::to_string(process_id());
  for (int attempt = 0; descriptor_ < 0; ++attempt) {
    const fs::path candidate = folder / (stem + "-" + std::to_string(attempt) + ".part");
    // The slot is taken first so that no moment passes with the file unlisted.
    const int slot = take_slot(candidate);
    descriptor_ = sys_open(candidate.string().c_str(), kCreateFlags, kCreateMode);
    if (descriptor_ >= 0) {
      temporary_ = candidate;
      slot_ = slot;
      break;
    }
    const int error = errno;
    if (slot >= 0) g_temporaries.used[slot] = 0;
    if (error != EEXIST || attempt >= 100) throw_errno(error);
  }
}

OutputFile::~OutputFile() {
  remove_temporary();
}

void OutputFile::remove_temporary() {
  if (descriptor_ >= 0) sys_close(descriptor_);
  descriptor_ = -1;
  if (!temporary_.empty()) sys_unlink(temporary_.string().c_str());
  temporary_.clear();
  if (slot_ >= 0) g_temporaries.used[slot_] = 0;
  slot_ = -1;
}

void OutputFile::write(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (std::size_t done = 0; done < size;) {
    const long long wrote = sys_write(descriptor_, bytes + done, size - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote < 0) throw_errno();
    if (wrote == 0) throw_errno(ENOSPC);
    done += static_cast<std::size_t>(wrote);
  }
  size_ += size;
}

void OutputFile::write_at(std::uint64_t offset, const void* data, std::size_t size) {
  const std::uint64_t end = size_;
  if (sys_seek(descriptor_, offset, SEEK_SET) < 0) throw_errno();
  size_ = offset;
  write(data, size);
  if (sys_seek(descriptor_, end, SEEK_SET) < 0) throw_errno();
  size_ = end;
}

void OutputFile::commit() {
  if (replaces_ && sys_sync(descriptor_) != 0) throw_errno();
  const int descriptor = descriptor_;
  descriptor_ = -1;
  if (sys_close(descriptor) != 0) throw_errno();
  std::error_code ec;
  fs::rename(temporary_, target_, ec);
  if (ec) throw OutputError(ec.message());
  temporary_.clear();
  remove_temporary();
}

bool same_file(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  return fs::equivalent(a, b, ec) && !ec;
}

}  // namespace scrpkg
