#include "platform/win32/shell_adapter.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/win32/message_dispatch.h"
#include "platform/win32/native_path.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_error.h"

namespace orvane::win32 {
namespace {

// The system's own programs (the defragmenter) are started directly. In a
// 32-bit process on 64-bit Windows the program file is reached in the real
// system directory, while the command line names it as GetSystemDirectory
// does, so that the busy test and Stop recognise the run by it.
UniqueProcess StartSystemProgram(const std::wstring& program,
                                 const std::wstring& arguments,
                                 int windowStyle) {
  std::wstring commandLine = L"\"" + program + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(windowStyle);
  PROCESS_INFORMATION info = {};
  const BOOL started =
      WithNativePath(program, [&](const std::wstring& file) {
        return CreateProcessW(file.c_str(), &commandLine[0],
                              /*lpProcessAttributes=*/nullptr,
                              /*lpThreadAttributes=*/nullptr,
                              /*bInheritHandles=*/FALSE,
                              /*dwCreationFlags=*/0,
                              /*lpEnvironment=*/nullptr,
                              /*lpCurrentDirectory=*/nullptr, &startup, &info);
      });
  if (!started) {
    const DWORD error = GetLastError();
    throw FailureFromWin32(error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE,
                           WideToUtf8(program));
  }
  UniqueThread thread(info.hThread);
  return UniqueProcess(info.hProcess);
}

UniqueProcess Start(const std::wstring& program, const std::wstring& arguments,
                    int windowStyle) {
  if (IsInSystemDirectory(program)) {
    return StartSystemProgram(program, arguments, windowStyle);
  }
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  // NOASYNC: the process is started before the call returns, even when the
  // shell would hand the work to a thread of its own.
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.lpVerb = nullptr;  // the default verb: run a program, open a document
  info.lpFile = program.c_str();
  info.lpParameters = arguments.empty() ? nullptr : arguments.c_str();
  info.lpDirectory = nullptr;
  info.nShow = windowStyle;
  if (!ShellExecuteExW(&info)) {
    DWORD error = GetLastError();
    const auto shellError =
        static_cast<DWORD>(reinterpret_cast<INT_PTR>(info.hInstApp));
    // A document type without a program: Wine's last error then says
    // ERROR_BAD_EXE_FORMAT, which would blame the document.
    if (shellError == SE_ERR_NOASSOC) error = ERROR_NO_ASSOCIATION;
    // Older shells report only hInstApp, whose SE_ERR_ values below
    // SE_ERR_SHARE are the Win32 error numbers of the same meaning.
    if (error == ERROR_SUCCESS && shellError < SE_ERR_SHARE) {
      error = shellError;
    }
    throw FailureFromWin32(error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE,
                           WideToUtf8(program));
  }
  return UniqueProcess(info.hProcess);
}

// Handles every message waiting in this thread's queue. Answers false, with
// the quit code, when a WM_QUIT came; it is not handled.
bool DispatchPending(int& quitCode) {
  MSG msg;
  while (PeekMessageW(&msg, /*hWnd=*/nullptr, /*wMsgFilterMin=*/0,
                      /*wMsgFilterMax=*/0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      quitCode = static_cast<int>(msg.wParam);
      return false;
    }
    DispatchWindowMessage(msg);
  }
  return true;
}

// Waits for `process` to end while the window's handlers run, nested, for
// whatever messages arrive (Stop, close, repaint).
void WaitHandlingMessages(HANDLE process) {
  int quitCode = 0;
  bool quitSeen = false;
  bool waitFailed = false;
  DWORD waitError = ERROR_SUCCESS;
  for (;;) {
    // Messages already in the queue first: MsgWaitForMultipleObjects wakes
    // only for input that arrived since the queue was last looked at, and a
    // loop further out may have looked without taking everything.
    if (!DispatchPending(quitCode)) {
      quitSeen = true;
      break;
    }
    const DWORD result = MsgWaitForMultipleObjects(
        /*nCount=*/1, &process, /*fWaitAll=*/FALSE, INFINITE, QS_ALLINPUT);
    if (result == WAIT_OBJECT_0) break;
    if (result != WAIT_OBJECT_0 + 1) {
      waitFailed = true;
      waitError = GetLastError();
      break;
    }
  }
  if (quitSeen && WaitForSingleObject(process, INFINITE) != WAIT_OBJECT_0) {
    waitFailed = true;
    waitError = GetLastError();
  }
  // The quit belongs to the loop that called us; let it see it.
  if (quitSeen) PostQuitMessage(quitCode);
  if (waitFailed) {
    throw FailureFromWin32(waitError != ERROR_SUCCESS ? waitError
                                                      : ERROR_GEN_FAILURE);
  }
}

}  // namespace

std::int32_t Win32Shell::Run(const std::string& program,
                             const std::string& arguments, int windowStyle,
                             bool wait) {
  UniqueProcess process =
      Start(Utf8ToWide(program), Utf8ToWide(arguments), windowStyle);
  // A document handed to a running program (DDE) has no process of its own.
  if (!wait || !process) return 0;
  WaitHandlingMessages(process.get());
  DWORD exitCode = 0;
  if (!GetExitCodeProcess(process.get(), &exitCode)) throw LastWin32Failure();
  return static_cast<std::int32_t>(exitCode);
}

std::shared_ptr<Shell> Win32ShellFactory::Create() {
  return std::make_shared<Win32Shell>();
}

}  // namespace orvane::win32
