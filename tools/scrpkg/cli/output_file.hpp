// Output files written whole or not at all. Each is written under a temporary name in its
// target's folder and renamed over the target only once it is complete; a failure, or SIGINT
// or SIGTERM, removes the temporary file and leaves whatever stood at the target as it was.
// A file that replaces another is flushed to disk before the rename, so that not even a
// crash can take the old one without leaving the new; a new file is left to the system to
// write back, as a copy's is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace scrpkg {

// Why an output could not be written, in the system's words ("No space left on device").
class OutputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class OutputFile {
 public:
  // Creates the temporary file beside `target`, or beside the file it leads to when it is
  // a symbolic link. Throws OutputError.
  explicit OutputFile(const std::filesystem::path& target);
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  // Removes the temporary file unless commit() renamed it.
  ~OutputFile();

  // Appends the bytes. Throws OutputError.
  void write(const void* data, std::size_t size);
  // Writes over bytes already appended, from `offset` on. Throws OutputError.
  void write_at(std::uint64_t offset, const void* data, std::size_t size);
  // Bytes appended so far.
  std::uint64_t size() const { return size_; }
  // Closes the file, flushed to disk when it replaces one, and renames it over the target.
  // Throws OutputError.
  void commit();

 private:
  void remove_temporary();

  std::filesystem::path target_;
  std::filesystem::path temporary_;  // empty once renamed or removed
  int descriptor_ = -1;              // open from construction until commit()
  std::uint64_t size_ = 0;           // bytes appended; writes go on from here
  int slot_ = -1;                    // the temporary's place in the signal handler's list
  bool replaces_ = false;            // a file stood at the target when this was made
};

// True when both paths name one existing file (the same device and inode), whatever links
// lead to it; false when either does not exist.
bool same_file(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace scrpkg
