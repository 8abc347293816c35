// The --log file of `scrpkg install`: JSON Lines, one object per thing the installer did.
#pragma once

#include <fstream>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "platform/posix/sandbox.hpp"

namespace scrpkg::install {

// The event as one JSON object, texts in UTF-8; null for events the log leaves out.
nlohmann::json event_record(const platform::posix::Event& event);

nlohmann::json exit_record(int status, const std::string& error);

class EventLog {
 public:
  // An empty path makes a log that writes nothing.
  explicit EventLog(const std::string& path);
  bool is_open() const { return out_.is_open(); }
  void write(const nlohmann::json& record);

  // Closes the file. Empty when every record reached it (or there is no file); otherwise
  // why one did not, in the system's words when it gave them.
  std::optional<std::string> close();

 private:
  void note_failure();  // records the first failure the stream shows

  std::ofstream out_;
  int first_error_ = 0;  // errno at the first failed write; -1 when it gave none
  bool failed_ = false;  // a write or the close failed: the log is incomplete
};

}  // namespace scrpkg::install
