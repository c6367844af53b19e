#pragma once
// The live process table, as Win32_Process shows it.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace wmistub {

struct ProcessInfo {
  DWORD id = 0;
  std::wstring name;                        // image name, "defrag.exe"
  std::optional<std::wstring> commandLine;  // nullopt when it cannot be read
};

// Every running process, in the order of the system's process table. A
// command line is read from the process's own parameters; that works for
// processes of this build's architecture only.
std::vector<ProcessInfo> LiveProcesses();

std::optional<ProcessInfo> FindProcess(DWORD id);

// Win32_Process.Terminate: ends the process with exit code `reason`, without
// waiting for it to end, and answers the method's ReturnValue (0 ended,
// 2 access denied, 8 any other failure).
LONG TerminateProcessFor(DWORD id, UINT reason);

}  // namespace wmistub
