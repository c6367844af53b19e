#pragma once
// The message box on Win32, or the Application event log where no one can
// see a box.

#include "platform/message_dialog.h"

namespace orvane::win32 {

class Win32MessageDialog : public MessageDialog {
 public:
  // MessageBox without an owner window; `style` is MessageBox's uType (16:
  // MB_ICONERROR with MB_OK). Throws Failure when the box cannot be shown.
  // On a window station that is not visible (no WSF_VISIBLE), shows no box:
  // writes `text` to the Application event log with `title` as the source
  // (an error event for MB_ICONERROR) and returns at once; a log that
  // cannot be written is no failure.
  void Show(const std::string& text, int style,
            const std::string& title) override;
};

}  // namespace orvane::win32
