#pragma once
// A fresh directory under the temporary directory for one test, removed
// with what it holds when the test ends; and whole-file reads.

#include <string>

namespace orvane::win32::testing {

class ScratchDirectory {
 public:
  ScratchDirectory();  // "<temp>\orvane adapters <pid> <n>", with a blank
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::wstring& path() const { return path_; }
  std::wstring operator/(const std::wstring& name) const {
    return path_ + L"\\" + name;
  }

 private:
  std::wstring path_;
};

// The file's bytes; "" when it cannot be read. Opens with every sharing
// mode, so that it reads past a writer.
std::string ReadBytes(const std::wstring& path);

bool Exists(const std::wstring& path);

// The directory of the running test program.
std::wstring ProgramDirectory();

}  // namespace orvane::win32::testing
