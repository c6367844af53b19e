#include "platform/win32/message_dialog_adapter.h"

#include <windows.h>

#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_error.h"

namespace orvane::win32 {

void Win32MessageDialog::Show(const std::string& text, int style,
                              const std::string& title) {
  if (MessageBoxW(/*hWnd=*/nullptr, Utf8ToWide(text).c_str(),
                  Utf8ToWide(title).c_str(), static_cast<UINT>(style)) == 0) {
    throw LastWin32Failure();
  }
}

}  // namespace orvane::win32
