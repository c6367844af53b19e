#pragma once
// Port: the local clock and the user's date and time formats.

#include <string>

namespace orvane {

struct LocalTime {
  int year = 2000;
  int month = 1;  // 1 to 12
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;

  // The current local date and time.
  virtual LocalTime Now() = 0;

  // `t`'s date in the user's short date format ("12/7/2026" in the US).
  virtual std::string ShortDate(const LocalTime& t) = 0;

  // `t`'s time of day in the user's long time format ("6:46:13 AM").
  virtual std::string LongTime(const LocalTime& t) = 0;
};

}  // namespace orvane
