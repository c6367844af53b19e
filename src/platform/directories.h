#pragma once
// Port: the system's directories.

#include <string>

namespace orvane {

class Directories {
 public:
  virtual ~Directories() = default;

  // The system directory (where the system's programs lie), whole at any
  // length and without a trailing backslash; "" when it cannot be told.
  virtual std::string SystemDirectory() = 0;

  // The Windows directory, in the same way.
  virtual std::string WindowsDirectory() = 0;

  // When this process runs with administrator rights: the folder this
  // program was started from, its exe, or both joined by " and ", whichever
  // accounts other than the system's own may change: whoever may would
  // choose what runs with those rights next time. "" otherwise, and when
  // it cannot be told. Never throws.
  virtual std::string ExposedProgramPaths() noexcept = 0;
};

}  // namespace orvane
