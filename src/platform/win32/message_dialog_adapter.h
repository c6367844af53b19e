#pragma once
// The message box on Win32.

#include "platform/message_dialog.h"

namespace orvane::win32 {

class Win32MessageDialog : public MessageDialog {
 public:
  // MessageBox without an owner window; `style` is MessageBox's uType (16:
  // MB_ICONERROR with MB_OK). Throws Failure when the box cannot be shown.
  void Show(const std::string& text, int style,
            const std::string& title) override;
};

}  // namespace orvane::win32
