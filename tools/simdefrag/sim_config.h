#pragma once
// The simulator's configuration: what it does for each drive letter, and
// where it logs. Read from <Windows dir>\simdefrag.ini when that file exists:
//
//   # comment
//   log=C:\windows\temp\other.log     where every start is logged
//   D: exit=7 ms=200                  drive D: ends with 7 after 200 ms
//   E: exit=-1                        any int32, decimal or 0x hex
//   C: engine=1 ms=60000              runs DfrgNtfs.exe for 60 s and waits
//   F: crash=1 ms=100                 dies of an access violation after 100 ms
//   C: go=1 ms=60000                  ends once <Windows dir>\simdefrag.go
//                                     exists, after 60 s at the latest
//   * exit=3                          drives without a line of their own
//
// Without a file, or for a drive without a line and no "*" line, the run
// ends with exit code 0 after 300 ms.

#include <cstdint>
#include <string>
#include <vector>

namespace simdefrag {

struct Behaviour {
  std::int32_t exitCode = 0;
  unsigned long durationMs = 300;
  bool runEngine = false;
  bool crash = false;  // an access violation instead of an exit code
  bool untilGo = false;  // ends early once the go file exists
};

struct DriveRule {
  wchar_t key = L'*';  // upper-case drive letter, or '*'
  Behaviour behaviour;
};

struct Config {
  std::wstring logPath;  // never empty once loaded
  std::vector<DriveRule> rules;

  // The behaviour for `drive` (an upper-case letter, or 0 when the command
  // line named no drive).
  Behaviour For(wchar_t drive) const;
};

// Reads the configuration file; an absent or unreadable file gives the
// built-in defaults. Unknown settings and malformed lines are ignored.
Config LoadConfig();

// Parses the text of a configuration file (exposed for LoadConfig only).
Config ParseConfig(const std::string& text, std::wstring defaultLogPath);

// Appends `line` and CR LF to the log in one write, so that lines of
// processes writing at the same time never interleave.
void AppendLog(const std::wstring& logPath, const std::wstring& line);

// The whole content of a file; "" when it cannot be read.
std::string ReadFileText(const std::wstring& path);

// UTF-8 text as UTF-16.
std::wstring Widen(const std::string& text);

// The Windows directory without a trailing backslash.
std::wstring WindowsDirectory();

}  // namespace simdefrag
