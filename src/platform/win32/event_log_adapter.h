#pragma once
// The Application event log on Win32, under a source whose messages are the
// exe's own message table.

#include <string>

#include "platform/event_log.h"

namespace orvane::win32 {

class Win32EventLog : public EventLog {
 public:
  // `source` the event source's name, as the event viewer shows it.
  explicit Win32EventLog(const std::string& source);

  // ReportEvent under the source, with `id` as the event ID and the inserts
  // as its strings. The first call also registers the source, best effort:
  // under HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application,
  // EventMessageFile names this exe and TypesSupported is 7, written when
  // the key names no file, or one that no longer exists; a file that is
  // there (the installed copy, another copy) stays the source's. Without
  // the registration (no administrator rights) the event is written all the
  // same; the event viewer then shows its strings without the message's
  // text.
  void Write(EventType type, std::uint32_t id,
             const std::vector<std::string>& inserts) noexcept override;

 private:
  std::wstring source_;
  bool registrationTried_ = false;
};

}  // namespace orvane::win32
