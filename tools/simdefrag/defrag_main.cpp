// defrag.exe for test machines: stands in for the system's defragmenter.
//
//   defrag.exe X: -f
//
// Logs "pid=<pid>\t<command line>" to the simulator's log, and its current
// directory to that log's ".cwd" companion, then behaves as
// the configuration says for drive X: (sim_config.h): waits, optionally runs
// the engine DfrgNtfs.exe from its own directory and waits for it, and ends
// with the configured exit code. When the engine ends with a non-zero code
// (it was terminated), that code becomes defrag's exit code, as the real
// tool reports a run whose engine was ended. With "crash=1" it dies of an
// access violation instead, as a faulty tool would: nothing handles the
// exception, so the system ends the process with the exception's code. No
// debugger is started for it, as on a server whose error reporting is off:
// once, on a loaded machine, the run after one of Wine's debugger sessions
// failed to start, which is no fault of the program under test.

#include <windows.h>

#include <cwctype>
#include <string>

#include "owned_handle.h"
#include "sim_config.h"

namespace {

// The first argument of the shape "X:", upper-cased; 0 when there is none.
wchar_t DriveOf(const wchar_t* commandLine) {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(commandLine, &count);
  if (args == nullptr) return 0;
  wchar_t drive = 0;
  for (int i = 1; i < count && drive == 0; ++i) {
    const wchar_t* arg = args[i];
    if (std::iswalpha(arg[0]) && arg[1] == L':' && arg[2] == L'\0')
      drive = static_cast<wchar_t>(std::towupper(arg[0]));
  }
  LocalFree(args);
  return drive;
}

std::wstring OwnDirectory() {
  wchar_t path[MAX_PATH] = {};
  DWORD length = GetModuleFileNameW(/*hModule=*/nullptr, path, MAX_PATH);
  std::wstring own(path, length);
  size_t slash = own.find_last_of(L'\\');
  return slash == std::wstring::npos ? std::wstring() : own.substr(0, slash);
}

// Runs the engine for `durationMs` and answers its exit code, or 0 when it
// could not be started.
DWORD RunEngine(unsigned long durationMs) {
  std::wstring engine = OwnDirectory() + L"\\DfrgNtfs.exe";
  std::wstring commandLine =
      L"\"" + engine + L"\" " + std::to_wstring(durationMs);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(engine.c_str(), commandLine.data(),
                      /*lpProcessAttributes=*/nullptr,
                      /*lpThreadAttributes=*/nullptr,
                      /*bInheritHandles=*/FALSE, CREATE_NO_WINDOW,
                      /*lpEnvironment=*/nullptr,
                      /*lpCurrentDirectory=*/nullptr, &startup, &info))
    return 0;
  simdefrag::OwnedHandle process(info.hProcess);
  simdefrag::OwnedHandle thread(info.hThread);
  WaitForSingleObject(process.get(), INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.get(), &code);
  return code;
}

// Read through a volatile pointer, so that the compiler can neither know it
// is null nor replace the faulting write by a trap of another kind.
volatile int* volatile gNowhere = nullptr;

[[noreturn]] void Crash() {
  SetErrorMode(SEM_NOGPFAULTERRORBOX);
  *gNowhere = 1;
  ExitProcess(0xDEAD);  // not reached
}

}  // namespace

int wmain() {
  const wchar_t* commandLine = GetCommandLineW();
  simdefrag::Config config = simdefrag::LoadConfig();
  simdefrag::AppendLog(config.logPath,
                       L"pid=" + std::to_wstring(GetCurrentProcessId()) +
                           L"\t" + commandLine);
  wchar_t directory[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, directory);
  simdefrag::AppendLog(config.logPath + L".cwd", directory);

  simdefrag::Behaviour behaviour = config.For(DriveOf(commandLine));
  if (behaviour.runEngine) {
    DWORD engineCode = RunEngine(behaviour.durationMs);
    if (engineCode != 0) ExitProcess(engineCode);
  } else if (behaviour.untilGo) {
    // A test's own steps take their time on a busy machine: it says when.
    const std::wstring go = simdefrag::WindowsDirectory() + L"\\simdefrag.go";
    for (unsigned long waited = 0; waited < behaviour.durationMs; waited += 100) {
      if (GetFileAttributesW(go.c_str()) != INVALID_FILE_ATTRIBUTES) break;
      Sleep(100);
    }
  } else {
    Sleep(behaviour.durationMs);
  }
  if (behaviour.crash) Crash();
  ExitProcess(static_cast<UINT>(behaviour.exitCode));
}
