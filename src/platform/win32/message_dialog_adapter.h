#pragma once
// The message box on Win32, or the Application event log where no one can
// see a box.

#include "platform/event_log.h"
#include "platform/message_dialog.h"

namespace orvane::win32 {

class Win32MessageDialog : public MessageDialog {
 public:
  // `log` takes the boxes that no one could see.
  explicit Win32MessageDialog(EventLog& log) : log_(log) {}

  // MessageBox without an owner window; `style` is MessageBox's uType (16:
  // MB_ICONERROR with MB_OK). Throws Failure when the box cannot be shown.
  // On a window station that is not visible (no WSF_VISIBLE), or in session
  // 0 from Vista on, shows no box: writes event `eventId` with `text` as its
  // string to `log` (an error event for MB_ICONERROR) and returns at once.
  void Show(std::uint32_t eventId, const std::string& text, int style,
            const std::string& title) override;

 private:
  EventLog& log_;
};

}  // namespace orvane::win32
