#include "ui/win32/twips.h"

#include <cmath>

namespace orvane::win32 {
namespace {

// The screen's device context, released when it goes.
class ScreenDc {
 public:
  ScreenDc() noexcept : dc_(GetDC(/*hWnd=*/nullptr)) {}
  ~ScreenDc() {
    if (dc_) ReleaseDC(/*hWnd=*/nullptr, dc_);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;

  HDC get() const noexcept { return dc_; }

 private:
  HDC dc_;
};

}  // namespace

Dpi ScreenDpi() noexcept {
  ScreenDc screen;
  if (!screen.get()) return {};
  Dpi dpi{GetDeviceCaps(screen.get(), LOGPIXELSX),
          GetDeviceCaps(screen.get(), LOGPIXELSY)};
  if (dpi.x <= 0) dpi.x = 96;
  if (dpi.y <= 0) dpi.y = 96;
  return dpi;
}

int TwipsToPixels(double twips, int dpi) noexcept {
  return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

double PixelsToTwips(int pixels, int dpi) noexcept {
  return static_cast<double>(pixels) * kTwipsPerInch / dpi;
}

}  // namespace orvane::win32
