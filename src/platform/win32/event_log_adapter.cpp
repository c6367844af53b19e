#include "platform/win32/event_log_adapter.h"

#include <windows.h>

#include "platform/win32/directories_adapter.h"
#include "platform/win32/native_path.h"
#include "platform/win32/resource.h"
#include "platform/win32/text_encoding.h"

namespace orvane::win32 {
namespace {

const wchar_t kSourcesKey[] =
    L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\";

WORD EventTypeOf(EventType type) {
  switch (type) {
    case EventType::kError:
      return EVENTLOG_ERROR_TYPE;
    case EventType::kWarning:
      return EVENTLOG_WARNING_TYPE;
    default:
      return EVENTLOG_INFORMATION_TYPE;
  }
}

// The file the key's EventMessageFile names (the first, where it lists
// several), with the environment's variables expanded where the value is
// REG_EXPAND_SZ, as the event log reads it; empty when missing or not a
// string.
std::wstring MessageFileOf(HKEY key) {
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key, L"EventMessageFile", /*lpReserved=*/nullptr,
                       &type, /*lpData=*/nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return {};
  }
  // Room for a terminator the stored value may lack.
  std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(key, L"EventMessageFile", /*lpReserved=*/nullptr,
                       &type, reinterpret_cast<BYTE*>(&value[0]),
                       &size) != ERROR_SUCCESS) {
    return {};
  }
  value.resize(value.find_first_of(L";\0", 0, 2));
  if (type != REG_EXPAND_SZ) return value;
  const DWORD length = ExpandEnvironmentStringsW(
      value.c_str(), /*lpDst=*/nullptr, /*nSize=*/0);
  std::wstring expanded(length, L'\0');
  const DWORD written =
      length == 0
          ? 0
          : ExpandEnvironmentStringsW(value.c_str(), &expanded[0], length);
  if (written == 0 || written > length) return value;
  expanded.resize(written - 1);
  return expanded;
}

// False only when nothing is at `path` (or there is no path): a file that
// cannot be looked at for another reason is left to be the source's.
bool FileExists(const std::wstring& path) {
  if (path.empty()) return false;
  // A message file in the system directory is looked for in the real one,
  // also from a 32-bit process on 64-bit Windows.
  if (WithNativePath(path, [](const std::wstring& file) {
        return GetFileAttributesW(file.c_str());
      }) != INVALID_FILE_ATTRIBUTES) {
    return true;
  }
  const DWORD error = GetLastError();
  return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND &&
         error != ERROR_INVALID_NAME;
}

// Points the source at this exe's message table when the source has none,
// or when the file it names is gone. A source that names another file that
// exists (the installed copy, which the package registered) stays as it is,
// so that deleting some other copy never blanks the events' texts. Needs
// administrator rights; without them nothing is written.
void RegisterSource(const std::wstring& source) {
  const std::wstring program = ProgramPath();
  if (program.empty()) return;
  UniqueRegistryKey key;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, (kSourcesKey + source).c_str(),
                      /*Reserved=*/0, /*lpClass=*/nullptr,
                      REG_OPTION_NON_VOLATILE, KEY_QUERY_VALUE | KEY_SET_VALUE,
                      /*lpSecurityAttributes=*/nullptr, key.addressof(),
                      /*lpdwDisposition=*/nullptr) != ERROR_SUCCESS) {
    return;
  }
  if (FileExists(MessageFileOf(key.get()))) return;
  // A plain string: the path is taken as it is, never expanded.
  RegSetValueExW(key.get(), L"EventMessageFile", /*Reserved=*/0, REG_SZ,
                 reinterpret_cast<const BYTE*>(program.c_str()),
                 static_cast<DWORD>((program.size() + 1) * sizeof(wchar_t)));
  const DWORD types =
      EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;
  RegSetValueExW(key.get(), L"TypesSupported", /*Reserved=*/0, REG_DWORD,
                 reinterpret_cast<const BYTE*>(&types), sizeof types);
}

}  // namespace

Win32EventLog::Win32EventLog(const std::string& source)
    : source_(Utf8ToWide(source)) {}

void Win32EventLog::Write(EventType type, std::uint32_t id,
                          const std::vector<std::string>& inserts) noexcept {
  try {
    if (!registrationTried_) {
      registrationTried_ = true;
      RegisterSource(source_);
    }
    UniqueEventSource log(
        RegisterEventSourceW(/*lpUNCServerName=*/nullptr, source_.c_str()));
    if (!log) return;
    std::vector<std::wstring> wide;
    wide.reserve(inserts.size());
    for (const std::string& insert : inserts) {
      wide.push_back(Utf8ToWide(insert));
    }
    std::vector<LPCWSTR> strings;
    for (const std::wstring& insert : wide) strings.push_back(insert.c_str());
    ReportEventW(log.get(), EventTypeOf(type), /*wCategory=*/0, id,
                 /*lpUserSid=*/nullptr, static_cast<WORD>(strings.size()),
                 /*dwDataSize=*/0, strings.empty() ? nullptr : strings.data(),
                 /*lpRawData=*/nullptr);
  } catch (...) {
    // Out of memory: the event is lost, the caller goes on.
  }
}

}  // namespace orvane::win32
