// A program for the adapters' tests to start:
//   adapter_test_child.exe <report file or -> <exit code> [<milliseconds>]
//   adapter_test_child.exe console    (writes to its console; 1 if it cannot)
// Writes, when a report file is named, its own command line and the window
// style it was started with (UTF-16: the command line, a line feed, the
// style in decimal), then sleeps, then exits with the code (decimal, or hex
// with 0x; -1 and 0xC0000005 alike).

#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <string>

namespace {

void WriteReport(const wchar_t* path) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  const int style =
      (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
  std::wstring report = GetCommandLineW();
  report += L'\n';
  report += std::to_wstring(style);
  HANDLE file = CreateFileW(path, GENERIC_WRITE, /*dwShareMode=*/0,
                            /*lpSecurityAttributes=*/nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, /*hTemplateFile=*/nullptr);
  if (file == INVALID_HANDLE_VALUE) ExitProcess(200);
  DWORD written = 0;
  WriteFile(file, report.data(),
            static_cast<DWORD>(report.size() * sizeof(wchar_t)), &written,
            /*lpOverlapped=*/nullptr);
  CloseHandle(file);
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc == 2 && std::wcscmp(argv[1], L"console") == 0) {
    DWORD written = 0;
    return WriteConsoleW(GetStdHandle(STD_OUTPUT_HANDLE), L"child\n", 6,
                         &written, /*lpReserved=*/nullptr) ? 0 : 1;
  }
  if (argv == nullptr || argc < 3) return 100;
  if (std::wcscmp(argv[1], L"-") != 0) WriteReport(argv[1]);
  const UINT exitCode =
      static_cast<UINT>(_wcstoi64(argv[2], /*endptr=*/nullptr, /*base=*/0));
  if (argc > 3) Sleep(static_cast<DWORD>(_wtoi(argv[3])));
  ExitProcess(exitCode);
}
