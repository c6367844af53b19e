#include "platform/win32/process_ending.h"

#include "platform/win32/win32_error.h"

namespace orvane::win32 {
namespace {

bool HasEnded(HANDLE process) {
  return WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
}

}  // namespace

bool EndUnlessEnded(HANDLE process, UINT exitCode) {
  if (HasEnded(process)) return false;
  if (TerminateProcess(process, exitCode)) return true;
  const Failure failure = LastWin32Failure();
  if (HasEnded(process)) return false;
  throw failure;
}

}  // namespace orvane::win32
