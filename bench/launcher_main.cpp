// launcher.exe: the least a program can do to defragment every fixed drive
// the way Orvane starts the defragmenter: COM for the shell, then for each
// fixed drive ShellExecuteExW("<system dir>\defrag.exe", "X: -f", SW_HIDE)
// and a wait for its end. The yardstick for Orvane's per-drive overhead.
// An argument "/R:DEF" leaves the drives D:, E: and F: out, as Orvane's does.
// Ends with 0, or with the number of runs that failed to start or ended
// non-zero.

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <cwchar>
#include <cwctype>
#include <string>

#include "owned.h"

namespace {

bool RunHidden(const std::wstring& program, const std::wstring& arguments) {
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.lpFile = program.c_str();
  info.lpParameters = arguments.c_str();
  info.nShow = SW_HIDE;
  if (!ShellExecuteExW(&info)) return false;
  bench::OwnedHandle process(info.hProcess);
  if (!process) return false;
  WaitForSingleObject(process.get(), INFINITE);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.get(), &exitCode);
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
  // As Orvane sets COM up: a single-threaded apartment.
  const HRESULT com =
      CoInitializeEx(/*pvReserved=*/nullptr, COINIT_APARTMENTTHREADED);
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
  if (SUCCEEDED(com)) CoUninitialize();
  return failures;
}
