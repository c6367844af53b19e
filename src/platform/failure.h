#pragma once
// A failure of an outside service, as the platform described it.
//
// Adapters throw Failure with the platform's own number and message text
// (HRESULTs as they are, Win32 errors as HRESULT_FROM_WIN32), so the logic
// records and reports a failure without knowing where it came from.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace orvane {

struct RecordedError {
  std::int32_t number = 0;  // 0: no failure recorded
  std::string description;

  bool IsSet() const { return number != 0; }
};

class Failure : public std::runtime_error {
 public:
  Failure(std::int32_t number, const std::string& description)
      : std::runtime_error(description), number_(number) {}

  std::int32_t number() const { return number_; }
  RecordedError AsRecord() const { return {number_, what()}; }

 private:
  std::int32_t number_;
};

// Errors the program raises itself, numbered as the scripting runtime numbers
// them so that report trailers look the same whatever raised them.
constexpr std::int32_t kFileNotFound = 53;
constexpr std::int32_t kObjectRequired = 424;

}  // namespace orvane
