// DfrgNtfs.exe for test machines: a stand-in defragmentation engine that
// only exists as a process.
//
//   DfrgNtfs.exe [milliseconds]
//
// Logs "pid=<pid>\t<command line>" to the simulator's log, then sleeps for
// the given time (for ever without one) and ends with exit code 0. A
// terminated engine therefore ends with the terminator's code instead.

#include <windows.h>

#include <cwchar>
#include <string>

#include "sim_config.h"

int wmain(int argc, wchar_t** argv) {
  simdefrag::Config config = simdefrag::LoadConfig();
  simdefrag::AppendLog(config.logPath,
                       L"pid=" + std::to_wstring(GetCurrentProcessId()) +
                           L"\t" + GetCommandLineW());
  DWORD duration = INFINITE;
  if (argc > 1) duration = static_cast<DWORD>(std::wcstoul(argv[1], nullptr, 10));
  Sleep(duration);
  return 0;
}
