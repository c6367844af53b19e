#include "platform/win32/message_dialog_adapter.h"

#include <windows.h>

#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_error.h"

namespace orvane::win32 {
namespace {

// False when the process's window station is known to be one that no one
// sees (a scheduled task or a service run as SYSTEM), and in session 0 from
// Vista on: an interactive service runs on session 0's WinSta0, which is
// marked visible, yet no user sees that session any more (on XP it is the
// console user's). A box there waits for a click that never comes. When
// neither can be asked, the box is shown, as everywhere else.
bool CanAnyoneSeeABox() {
  const bool vistaOrLater = LOBYTE(LOWORD(GetVersion())) >= 6;
  DWORD session = 0;
  if (vistaOrLater &&
      ProcessIdToSessionId(GetCurrentProcessId(), &session) && session == 0) {
    return false;
  }
  USEROBJECTFLAGS flags{};
  if (!GetUserObjectInformationW(GetProcessWindowStation(), UOI_FLAGS, &flags,
                                 sizeof flags, /*lpnLengthNeeded=*/nullptr)) {
    return true;
  }
  return (flags.dwFlags & WSF_VISIBLE) != 0;
}

EventType EventTypeOf(int style) {
  switch (static_cast<UINT>(style) & MB_ICONMASK) {
    case MB_ICONERROR:
      return EventType::kError;
    case MB_ICONWARNING:
      return EventType::kWarning;
    default:
      return EventType::kInformation;
  }
}

}  // namespace

void Win32MessageDialog::Show(std::uint32_t eventId, const std::string& text,
                              int style, const std::string& title) {
  if (!CanAnyoneSeeABox()) {
    log_.Write(EventTypeOf(style), eventId, {text});
    return;  // as if OK had been pressed
  }
  if (MessageBoxW(/*hWnd=*/nullptr, Utf8ToWide(text).c_str(),
                  Utf8ToWide(title).c_str(), static_cast<UINT>(style)) == 0) {
    throw LastWin32Failure();
  }
}

}  // namespace orvane::win32
