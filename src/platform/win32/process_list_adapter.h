#pragma once
// The process list on Win32: a Toolhelp snapshot, which needs no service and
// works inside any message handler, also where COM refuses outgoing calls.

#include "platform/process_list.h"

namespace orvane::win32 {

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
