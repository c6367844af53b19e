#pragma once
// A failure of an outside service, as the platform described it.
//
// Adapters throw Failure with the platform's own number and message text
// (HRESULTs as they are, Win32 errors as HRESULT_FROM_WIN32), so the logic
// records and reports a failure without knowing where it came from.

#include <cstdint>
#include <exception>
#include <string>
#include <utility>

namespace orvane {

struct RecordedError {
  std::int32_t number = 0;  // 0: no failure recorded
  std::string description;

  bool IsSet() const { return number != 0; }
};

// A std::exception with a text of its own: a std::runtime_error, whose text
// the C++ runtime keeps in a string type of its own, would link that
// runtime's constructor from std::string (some 2 KB) for this class alone.
class Failure : public std::exception {
 public:
  Failure(std::int32_t number, std::string description)
      : number_(number), description_(std::move(description)) {}

  const char* what() const noexcept override { return description_.c_str(); }
  std::int32_t number() const { return number_; }
  RecordedError AsRecord() const { return {number_, description_}; }

 private:
  std::int32_t number_;
  std::string description_;
};

// Errors the program raises itself, numbered as the scripting runtime numbers
// them so that report trailers look the same whatever raised them.
constexpr std::int32_t kFileNotFound = 53;
constexpr std::int32_t kObjectRequired = 424;

}  // namespace orvane
