#include "platform/win32/message_dialog_adapter.h"

#include <windows.h>

#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_error.h"

namespace orvane::win32 {
namespace {

// False only when the process's window station is known to be one that no
// one sees (a scheduled task or a service run as SYSTEM): a box there waits
// for a click that never comes. When the station cannot be asked, the box
// is shown, as everywhere else.
bool CanAnyoneSeeABox() {
  USEROBJECTFLAGS flags{};
  if (!GetUserObjectInformationW(GetProcessWindowStation(), UOI_FLAGS, &flags,
                                 sizeof flags, /*lpnLengthNeeded=*/nullptr)) {
    return true;
  }
  return (flags.dwFlags & WSF_VISIBLE) != 0;
}

WORD EventTypeOf(int style) {
  switch (static_cast<UINT>(style) & MB_ICONMASK) {
    case MB_ICONERROR:
      return EVENTLOG_ERROR_TYPE;
    case MB_ICONWARNING:
      return EVENTLOG_WARNING_TYPE;
    default:
      return EVENTLOG_INFORMATION_TYPE;
  }
}

// Writes `text` to the Application event log under the source `title`,
// where fleet tools collect it. The source has no message file of its own,
// so the event viewer shows the text as the event's inserted string.
// Best effort: when the log cannot be written there is no one left to tell.
void ReportToEventLog(const std::string& text, int style,
                      const std::string& title) {
  const HANDLE source =
      RegisterEventSourceW(/*lpUNCServerName=*/nullptr,
                           Utf8ToWide(title).c_str());
  if (!source) return;
  const std::wstring wide = Utf8ToWide(text);
  LPCWSTR strings[] = {wide.c_str()};
  ReportEventW(source, EventTypeOf(style), /*wCategory=*/0, /*dwEventID=*/1,
               /*lpUserSid=*/nullptr, /*wNumStrings=*/1, /*dwDataSize=*/0,
               strings, /*lpRawData=*/nullptr);
  DeregisterEventSource(source);
}

}  // namespace

void Win32MessageDialog::Show(const std::string& text, int style,
                              const std::string& title) {
  if (!CanAnyoneSeeABox()) {
    ReportToEventLog(text, style, title);
    return;  // as if OK had been pressed
  }
  if (MessageBoxW(/*hWnd=*/nullptr, Utf8ToWide(text).c_str(),
                  Utf8ToWide(title).c_str(), static_cast<UINT>(style)) == 0) {
    throw LastWin32Failure();
  }
}

}  // namespace orvane::win32
