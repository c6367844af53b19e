#pragma once
// The shell object on Win32: ShellExecuteEx, with the program's path and
// its arguments handed over apart, and a wait that keeps the window's
// messages flowing.

#include <memory>

#include "platform/shell.h"
#include "platform/win32/scoped_com.h"

namespace orvane::win32 {

class Win32Shell : public Shell {
 public:
  // `com` is set up before the shell opens a document or starts a program
  // outside the system directory; without it, the caller has set COM up on
  // the calling thread already, or the shell runs without it.
  explicit Win32Shell(ComOnFirstUse* com = nullptr) : com_(com) {}

  // Starts `program` through ShellExecuteEx (lpFile = the path, lpParameters
  // = the arguments, nShow = `windowStyle`, which the shell object numbers
  // as SW_ values). The shell builds the command line as "<program>"
  // <arguments>. A program in the system directory is started with
  // CreateProcess and that same command line, its file reached in the real
  // system directory also from a 32-bit process on 64-bit Windows. With
  // `com`, anything else is a document that the desktop's shell is asked to
  // open first (desktop_shell.h); when it does not answer in time, Run
  // throws ERROR_TIMEOUT. Where it does not open it, a process running
  // elevated or as SYSTEM opens a document (anything but an exe) with the
  // system directory's notepad.exe, never with the handler the user's
  // registry names. With
  // `wait`, handles this thread's window messages until the process ends; a
  // WM_QUIT seen meanwhile is remembered, the handling goes on, and the quit
  // is posted again with its code once the process has ended (or the wait
  // was stopped), so that the caller's loop sees it.
  std::int32_t Run(const std::string& program, const std::string& arguments,
                   int windowStyle, bool wait) override;
  bool AwaitEnd(int timeoutMs, std::int32_t& exitCode) override;
  // Looked at by the waits after each round of handled messages.
  void StopWaiting() override;
  // TerminateProcess on the handle that Run keeps: its process, not one
  // that took its id after it ended.
  void EndAwaited(std::int32_t exitCode) override;

 private:
  ComOnFirstUse* com_;
  // The process the innermost waiting Run waits for; null when none waits.
  void* waiting_ = nullptr;
  // Set by StopWaiting until the outermost waiting Run returns.
  bool stopWaiting_ = false;
};

class Win32ShellFactory : public ShellFactory {
 public:
  // The shells it creates set `com` up before they need it (see Win32Shell).
  explicit Win32ShellFactory(ComOnFirstUse* com = nullptr) : com_(com) {}

  std::shared_ptr<Shell> Create() override;

 private:
  ComOnFirstUse* com_;
};

}  // namespace orvane::win32
