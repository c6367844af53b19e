#include "platform/win32/previous_instance_adapter.h"

#include <windows.h>

#include <utility>

#include "platform/win32/text_encoding.h"

namespace orvane::win32 {

const char kInstanceMutexName[] =
    "Global\\Orvane.Instance.{6F3C0B52-9A1D-4E7B-8C25-D41A7E90B3F6}";

Win32PreviousInstance::Win32PreviousInstance(std::string mutexName)
    : mutexName_(std::move(mutexName)) {}

bool Win32PreviousInstance::IsRunning() {
  if (asked_) return running_;
  asked_ = true;
  SetLastError(ERROR_SUCCESS);
  mutex_.reset(CreateMutexW(/*lpMutexAttributes=*/nullptr,
                            /*bInitialOwner=*/FALSE,
                            Utf8ToWide(mutexName_).c_str()));
  const DWORD error = GetLastError();
  running_ = error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED;
  // The mutex is the other instance's claim, not ours.
  if (running_) mutex_.reset();
  return running_;
}

}  // namespace orvane::win32
