#include "platform/win32/process_list_adapter.h"

#include <windows.h>
#include <tlhelp32.h>

#include <optional>

#include "platform/win32/resource.h"
#include "platform/win32/text_encoding.h"
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

void Win32ProcessList::EndByImageName(const std::string& imageName,
                                      std::int32_t exitCode) {
  UniqueSnapshot snapshot(
      CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, /*th32ProcessID=*/0));
  if (!snapshot) throw LastWin32Failure();
  const std::wstring wanted = Utf8ToWide(imageName);
  std::optional<Failure> failure;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    if (lstrcmpiW(entry.szExeFile, wanted.c_str()) != 0) continue;
    UniqueProcess process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE,
                                      /*bInheritHandle=*/FALSE,
                                      entry.th32ProcessID));
    if (!process) {
      // Unless the id names no process any more, or one that is ending
      // (just terminated by someone else): gone since the snapshot.
      if (GetLastError() != ERROR_INVALID_PARAMETER) {
        failure = LastWin32Failure();
      }
      continue;
    }
    try {
      EndUnlessEnded(process.get(), static_cast<UINT>(exitCode));
    } catch (const Failure& notEnded) {
      failure = notEnded;
    }
  }
  if (failure) throw *failure;
}

}  // namespace orvane::win32
