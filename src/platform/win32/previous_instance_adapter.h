#pragma once
// The previous-instance test on Win32: a named mutex in the machine-wide
// namespace, so that an instance in another session (another user, a
// scheduled run) counts too.

#include <string>

#include "platform/previous_instance.h"
#include "platform/win32/resource.h"

namespace orvane::win32 {

// The name that the program's instances share.
extern const char kInstanceMutexName[];

class Win32PreviousInstance : public PreviousInstance {
 public:
  // `mutexName` as CreateMutex takes it, "Global\\" prefix included.
  explicit Win32PreviousInstance(std::string mutexName = kInstanceMutexName);

  // The first call creates the mutex and keeps it for the process's life;
  // with administrator rights, owned by the Administrators and open to
  // SYSTEM and the Administrators only. The mutex existing already, or
  // existing with access refused to this account, is another instance when
  // its owner is SYSTEM or the Administrators, and foreign otherwise or when
  // its owner cannot be read; an object of another type under the name is
  // foreign. Any other failure answers kNone: better a second instance than
  // none.
  OtherInstance Find() override;

 private:
  std::string mutexName_;
  UniqueMutex mutex_;
  bool asked_ = false;
  OtherInstance found_ = OtherInstance::kNone;
};

}  // namespace orvane::win32
