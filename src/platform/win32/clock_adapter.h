#pragma once
// The local clock and the user's date and time formats on Win32.

#include "platform/clock.h"

namespace orvane::win32 {

class Win32Clock : public Clock {
 public:
  LocalTime Now() override;
  // Throw Failure when the system cannot format `t` (an invalid date).
  std::string ShortDate(const LocalTime& t) override;
  std::string LongTime(const LocalTime& t) override;
};

}  // namespace orvane::win32
