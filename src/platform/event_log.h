#pragma once
// Port: the system's log of events (on Windows the Application log, where
// fleet tools collect it).

#include <cstdint>
#include <string>
#include <vector>

#include "platform/event_ids.h"

namespace orvane {

enum class EventType { kInformation, kWarning, kError };

class EventLog {
 public:
  virtual ~EventLog() = default;

  // Writes one event of `type` with `id` (event_ids.h) under the program's
  // source; `inserts` (UTF-8) fill the message's %1, %2, ... in order.
  // Best effort: a log that cannot be written is no failure of the caller,
  // who has no one left to tell. Never throws.
  virtual void Write(EventType type, std::uint32_t id,
                     const std::vector<std::string>& inserts) noexcept = 0;
};

}  // namespace orvane
