// The --log file of `scrpkg install`: JSON Lines, one object per thing the installer did.
#pragma once

#include <fstream>
#include <string>

#include <nlohmann/json.hpp>

#include "platform/posix/sandbox.hpp"

namespace scrpkg {

// The event as one JSON object, texts in UTF-8; null for events the log leaves out.
nlohmann::json event_record(const platform::posix::Event& event);

nlohmann::json exit_record(int status, const std::string& error);

class EventLog {
 public:
  // An empty path makes a log that writes nothing.
  explicit EventLog(const std::string& path);
  bool is_open() const { return out_.is_open(); }
  void write(const nlohmann::json& record);

 private:
  std::ofstream out_;
};

}  // namespace scrpkg
