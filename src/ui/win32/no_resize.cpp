#include "ui/win32/no_resize.h"

#include "platform/win32/win32_error.h"
#include "ui/size_guard.h"

namespace orvane::win32 {
namespace {

HWND oHookedForm = nullptr;
float sngFixedWidth = 0.0f;   // outer width in pixels, as last recorded
float sngFixedHeight = 0.0f;  // outer height in pixels, as last recorded
WNDPROC lPrevWndProc = nullptr;
// The size held against changes without a drag (Snap, a window manager).
NormalSizeHold normalSize;

// The system marks the WINDOWPOS of minimizing, maximizing and restoring
// with this flag (winuser.h of some SDKs lacks its name).
constexpr UINT kSwpStateChanged = 0x8000;

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

// Records the window's normal size for the hold; see NormalSizeHold.
void ObserveNormalSize(HWND hwnd, UINT msg) noexcept {
  RECT outer;
  if (!GetWindowRect(hwnd, &outer)) return;
  normalSize.Observe(outer.right - outer.left, outer.bottom - outer.top,
                     IsIconic(hwnd) != FALSE, msg == WM_WINDOWPOSCHANGED);
}

// Snap, vertical maximize and a window manager's resize all reach the
// window through SetWindowPos, without WM_SIZING: the proposed size is put
// back, the proposed place is kept.
void HoldWindowPos(LPARAM lParam) noexcept {
  auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
  if (pos == nullptr || (pos->flags & (SWP_NOSIZE | kSwpStateChanged)) != 0 ||
      !normalSize.Holding()) {
    return;
  }
  pos->cx = normalSize.width();
  pos->cy = normalSize.height();
}

// The held size as both the smallest and the largest size the window may
// be given: the system's own handling of a change of place keeps to it.
void HoldTrackingSize(LPARAM lParam) noexcept {
  auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
  if (info == nullptr || !normalSize.Known()) return;
  info->ptMinTrackSize = {normalSize.width(), normalSize.height()};
  info->ptMaxTrackSize = info->ptMinTrackSize;
}

}  // namespace

void HookForm(HWND form) {
  oHookedForm = form;
  normalSize = NormalSizeHold{};
  CaptureSize();
  ObserveNormalSize(form, WM_NULL);
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
  ObserveNormalSize(hwnd, msg);
  if (msg == WM_SIZING) {
    HoldSizingRect(wParam, lParam);
    return 0;  // answered here, not passed on
  }
  if (msg == WM_WINDOWPOSCHANGING) HoldWindowPos(lParam);
  const LRESULT result =
      lPrevWndProc == nullptr
          ? DefWindowProcW(hwnd, msg, wParam, lParam)
          : CallWindowProcW(lPrevWndProc, hwnd, msg, wParam, lParam);
  if (msg == WM_GETMINMAXINFO) HoldTrackingSize(lParam);
  return result;
}

}  // namespace orvane::win32
