#include "platform/win32/shell_adapter.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/win32/desktop_shell.h"
#include "platform/win32/loader.h"
#include "platform/win32/message_dispatch.h"
#include "platform/win32/native_path.h"
#include "platform/win32/process_list_adapter.h"
#include "platform/win32/resource.h"
#include "platform/win32/security.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_error.h"

namespace orvane::win32 {
namespace {

// The system's own programs (the defragmenter) are started directly. In a
// 32-bit process on 64-bit Windows the program file is reached in the real
// system directory, while the command line names it as GetSystemDirectory
// does, so that the busy test and Stop recognise the run by it. The
// defragmenter is a console program: where Windows Terminal hosts the
// consoles, the show state has not always kept the console window hidden,
// so it gets a console that has none. It runs in the system directory, not
// in this program's current directory, which may be anyone's.
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
  const std::wstring directory = program.substr(0, program.rfind(L'\\'));
  const BOOL started =
      WithNativePath(program, [&](const std::wstring& file) {
        return CreateProcessW(file.c_str(), &commandLine[0],
                              /*lpProcessAttributes=*/nullptr,
                              /*lpThreadAttributes=*/nullptr,
                              /*bInheritHandles=*/FALSE,
                              CREATE_NO_WINDOW,
                              /*lpEnvironment=*/nullptr,
                              directory.c_str(), &startup, &info);
      });
  if (!started) {
    const DWORD error = GetLastError();
    throw FailureFromWin32(error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE,
                           WideToUtf8(program));
  }
  UniqueThread thread(info.hThread);
  return UniqueProcess(info.hProcess);
}

// A program is started by its own path; anything else is a document, which
// a handler that the registry names opens.
bool IsDocument(const std::wstring& path) {
  return path.size() <= 4 ||
         lstrcmpiW(path.c_str() + path.size() - 4, L".exe") != 0;
}

UniqueProcess Start(const std::wstring& program, const std::wstring& arguments,
                    int windowStyle, ComOnFirstUse* com) {
  if (IsInSystemDirectory(program)) {
    return StartSystemProgram(program, arguments, windowStyle);
  }
  // The handler of a document type comes from the user's own registry,
  // which any program of the user may change: it is started by the
  // desktop's shell with the desktop's rights, never with this process's.
  // That route gives no process: there is none to wait for.
  if (com) {
    // Also for the shell here, which may hand a document to a handler that
    // is a COM object.
    com->Enter();
    switch (OpenThroughDesktopShell(program, arguments, windowStyle)) {
      case DesktopShellAnswer::kOpened:
        return UniqueProcess();
      case DesktopShellAnswer::kNoAnswer:
        throw FailureFromWin32(ERROR_TIMEOUT, WideToUtf8(program));
      case DesktopShellAnswer::kNone:
        break;
    }
  }
  // Where there is no desktop shell (no Explorer, Wine without its
  // desktop), the document is opened here. Any program of the user can end
  // Explorer, so elevated or as SYSTEM the user's handler is not started
  // here either: the system's own Notepad shows the document, named by its
  // path in the system directory, which no registry entry redirects.
  if (IsDocument(program) && RunsElevatedOrAsSystem()) {
    const std::wstring system = SystemDirectory();
    if (system.empty()) {
      throw FailureFromWin32(ERROR_PATH_NOT_FOUND, WideToUtf8(program));
    }
    return StartSystemProgram(system + L"\\notepad.exe",
                              L"\"" + program + L"\"", windowStyle);
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
  if (!deferred::ShellExecuteExW(&info)) {
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

}  // namespace

std::int32_t Win32Shell::Run(const std::string& program,
                             const std::string& arguments, int windowStyle,
                             bool wait) {
  UniqueProcess process =
      Start(Utf8ToWide(program), Utf8ToWide(arguments), windowStyle, com_);
  // A document handed to a running program (DDE) has no process of its own.
  if (!wait || !process) return 0;
  // Known to AwaitEnd while the wait lasts, however it ends.
  ScopeExit waiting([this, previous = waiting_] {
    waiting_ = previous;
    if (!previous) stopWaiting_ = false;
  });
  waiting_ = process.get();
  HandleMessagesUntil(process.get(), [this] { return stopWaiting_; });
  if (stopWaiting_) return 0;
  DWORD exitCode = 0;
  if (!GetExitCodeProcess(process.get(), &exitCode)) throw LastWin32Failure();
  return static_cast<std::int32_t>(exitCode);
}

bool Win32Shell::AwaitEnd(int timeoutMs, std::int32_t& exitCode) {
  if (!waiting_) return false;
  const DWORD result = WaitForSingleObject(
      waiting_, timeoutMs < 0 ? 0 : static_cast<DWORD>(timeoutMs));
  if (result == WAIT_TIMEOUT) return false;
  if (result != WAIT_OBJECT_0) throw LastWin32Failure();
  DWORD code = 0;
  if (!GetExitCodeProcess(waiting_, &code)) throw LastWin32Failure();
  exitCode = static_cast<std::int32_t>(code);
  return true;
}

void Win32Shell::StopWaiting() {
  if (waiting_) stopWaiting_ = true;
}

void Win32Shell::EndAwaited(std::int32_t exitCode) {
  if (waiting_) EndUnlessEnded(waiting_, static_cast<UINT>(exitCode));
}

std::shared_ptr<Shell> Win32ShellFactory::Create() {
  return std::make_shared<Win32Shell>(com_);
}

}  // namespace orvane::win32
