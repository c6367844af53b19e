// launcher.exe: the least a program can do to defragment every fixed drive
// the way Orvane starts the defragmenter, the yardstick for Orvane's
// per-drive overhead. For each fixed drive: CreateProcessW of
// "<system dir>\defrag.exe" with the command line "\"<path>\" X: -f",
// STARTF_USESHOWWINDOW with SW_HIDE, CREATE_NO_WINDOW, no handles
// inherited; then MsgWaitForMultipleObjects with QS_ALLINPUT until it ends,
// handling whatever messages arrive, as Orvane's wait does. No window, no
// COM, no report. An argument "/R:DEF" leaves the drives D:, E: and F: out,
// as Orvane's does. Ends with 0, or with the number of runs that failed to
// start or ended non-zero.

#include <windows.h>

#include <cwchar>
#include <cwctype>
#include <string>

#include "owned.h"

// Built once more with 0 (launcher_flags0.exe), to show what
// CREATE_NO_WINDOW itself costs.
#ifndef BENCH_CREATION_FLAGS
#define BENCH_CREATION_FLAGS CREATE_NO_WINDOW
#endif

namespace {

void DispatchPending() {
  MSG msg;
  while (PeekMessageW(&msg, /*hWnd=*/nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

bool RunHidden(const std::wstring& program, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + program + L"\" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(program.c_str(), &commandLine[0],
                      /*lpProcessAttributes=*/nullptr,
                      /*lpThreadAttributes=*/nullptr,
                      /*bInheritHandles=*/FALSE, BENCH_CREATION_FLAGS,
                      /*lpEnvironment=*/nullptr,
                      /*lpCurrentDirectory=*/nullptr, &startup, &info)) {
    return false;
  }
  bench::OwnedHandle thread(info.hThread);
  bench::OwnedHandle process(info.hProcess);
  HANDLE handle = process.get();
  for (;;) {
    DispatchPending();
    const DWORD result = MsgWaitForMultipleObjects(
        /*nCount=*/1, &handle, /*fWaitAll=*/FALSE, INFINITE, QS_ALLINPUT);
    if (result == WAIT_OBJECT_0) break;
    if (result != WAIT_OBJECT_0 + 1) return false;
  }
  DWORD exitCode = 1;
  GetExitCodeProcess(handle, &exitCode);
  return exitCode == 0;
}

// The drive letters after "/R:" in the command line, upper-cased.
std::wstring LeftOut(const wchar_t* commandLine) {
  const wchar_t* switchAt = std::wcsstr(commandLine, L"/R:");
  std::wstring letters;
  if (switchAt == nullptr) return letters;
  for (const wchar_t* c = switchAt + 3; *c != L'\0' && *c != L' '; ++c)
    letters += static_cast<wchar_t>(std::towupper(*c));
  return letters;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/,
                    PWSTR commandLine, int /*showCommand*/) {
  const std::wstring leftOut = LeftOut(commandLine);
  wchar_t system[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(system, MAX_PATH);
  const std::wstring defrag = std::wstring(system, length) + L"\\defrag.exe";

  int failures = 0;
  const DWORD drives = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if ((drives & (DWORD{1} << i)) == 0) continue;
    const wchar_t letter = static_cast<wchar_t>(L'A' + i);
    const wchar_t root[] = {letter, L':', L'\\', L'\0'};
    if (GetDriveTypeW(root) != DRIVE_FIXED) continue;
    if (leftOut.find(letter) != std::wstring::npos) continue;
    const wchar_t arguments[] = {letter, L':', L' ', L'-', L'f', L'\0'};
    if (!RunHidden(defrag, arguments)) ++failures;
  }
  return failures;
}
