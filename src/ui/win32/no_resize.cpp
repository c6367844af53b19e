#include "ui/win32/no_resize.h"

#include "platform/win32/win32_error.h"
#include "ui/size_guard.h"

namespace orvane::win32 {
namespace {

HWND oHookedForm = nullptr;
float sngFixedWidth = 0.0f;   // outer width in pixels, as last recorded
float sngFixedHeight = 0.0f;  // outer height in pixels, as last recorded
WNDPROC lPrevWndProc = nullptr;

// Rewrites the rectangle that lParam points to; an edge that cannot be
// computed keeps its proposed value (HoldSize never throws).
void HoldSizingRect(WPARAM edge, LPARAM lParam) noexcept {
  auto* rect = reinterpret_cast<RECT*>(lParam);
  if (rect == nullptr) return;
  const SizingRect held =
      HoldSize({rect->left, rect->top, rect->right, rect->bottom}, edge,
               sngFixedWidth, sngFixedHeight);
  rect->left = held.left;
  rect->top = held.top;
  rect->right = held.right;
  rect->bottom = held.bottom;
}

}  // namespace

void HookForm(HWND form) {
  oHookedForm = form;
  CaptureSize();
  // 0 is also a valid previous value, so only the last error tells.
  SetLastError(ERROR_SUCCESS);
  const LONG_PTR previous = SetWindowLongPtrW(
      oHookedForm, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc));
  if (previous == 0 && GetLastError() != ERROR_SUCCESS) {
    oHookedForm = nullptr;
    throw LastWin32Failure();
  }
  lPrevWndProc = reinterpret_cast<WNDPROC>(previous);
}

void UnhookForm() {
  if (oHookedForm == nullptr) return;
  SetWindowLongPtrW(oHookedForm, GWLP_WNDPROC,
                    reinterpret_cast<LONG_PTR>(lPrevWndProc));
  lPrevWndProc = nullptr;
  oHookedForm = nullptr;
}

void CaptureSize() {
  RECT outer;
  if (!GetWindowRect(oHookedForm, &outer)) throw LastWin32Failure();
  sngFixedWidth = static_cast<float>(outer.right - outer.left);
  sngFixedHeight = static_cast<float>(outer.bottom - outer.top);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam,
                            LPARAM lParam) noexcept {
  // The size now, before the message is looked at: during a sizing drag the
  // window still has its size from before the drag.
  try {
    CaptureSize();
  } catch (...) {
    // Keep the size recorded last.
  }
  if (msg == WM_SIZING) {
    HoldSizingRect(wParam, lParam);
    return 0;  // answered here, not passed on
  }
  if (lPrevWndProc == nullptr) {
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  return CallWindowProcW(lPrevWndProc, hwnd, msg, wParam, lParam);
}

}  // namespace orvane::win32
