#include "platform/win32/text_appender_adapter.h"

#include <windows.h>

#include <climits>

#include "platform/win32/resource.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_error.h"

namespace orvane::win32 {

bool Win32TextAppender::Append(const std::string& path,
                               const std::string& text, bool lastTry) {
  const std::string bytes = WideToAnsi(Utf8ToWide(text));
  if (bytes.size() > MAXDWORD) throw FailureFromWin32(ERROR_INVALID_PARAMETER);

  // Append-only access: every write goes to the end of the file as it is at
  // that moment, so two writers' records follow each other whole.
  UniqueFile file(CreateFileW(
      Utf8ToWide(path).c_str(), FILE_APPEND_DATA,
      FILE_SHARE_READ | FILE_SHARE_WRITE, /*lpSecurityAttributes=*/nullptr,
      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, /*hTemplateFile=*/nullptr));
  if (!file) {
    // Any user may read the report, and so hold it open without letting
    // others write: a viewer, a backup, a search indexer. The caller waits.
    const DWORD error = GetLastError();
    if (!lastTry &&
        (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)) {
      return false;
    }
    throw FailureFromWin32(error);
  }
  if (bytes.empty()) return true;

  DWORD written = 0;
  if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                 &written, /*lpOverlapped=*/nullptr)) {
    throw LastWin32Failure();
  }
  // A disk file takes all or fails; a short count means the disk filled up
  // in the middle.
  if (written != bytes.size()) throw FailureFromWin32(ERROR_DISK_FULL);
  return true;
}

}  // namespace orvane::win32
