#pragma once
// The process list on Win32: a Toolhelp snapshot, which needs no service and
// works inside any message handler, also where COM refuses outgoing calls.

#include <windows.h>

#include "platform/process_list.h"

namespace orvane::win32 {

// Ends `process` (opened with PROCESS_TERMINATE and SYNCHRONIZE) with
// `exitCode`. Answers false, ending nothing, when it has ended already: its
// own exit code stands (Wine would "end" it again without complaint, and
// Windows refuses one that ended just before the call). Throws Failure when
// a running process cannot be ended. The one way every adapter ends a
// process through a handle.
bool EndUnlessEnded(HANDLE process, UINT exitCode);

class Win32ProcessList : public ProcessList {
 public:
  // Walks a snapshot of the processes (Process32FirstW/NextW) and ends each
  // one of the image name through OpenProcess(PROCESS_TERMINATE) and
  // TerminateProcess. A process that has gone by the time it is opened is
  // skipped.
  void EndByImageName(const std::string& imageName,
                      std::int32_t exitCode) override;
};

}  // namespace orvane::win32
