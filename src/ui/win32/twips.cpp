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
  // Read once: a process that is aware of the system's density gets the
  // density of its start for all its life, and a window's placement asks
  // a dozen times before it shows.
  static Dpi read;
  static bool known = false;
  if (known) return read;
  ScreenDc screen;
  if (!screen.get()) return {};
  read = {GetDeviceCaps(screen.get(), LOGPIXELSX),
          GetDeviceCaps(screen.get(), LOGPIXELSY)};
  if (read.x <= 0) read.x = 96;
  if (read.y <= 0) read.y = 96;
  known = true;
  return read;
}

int TwipsToPixels(double twips, int dpi) noexcept {
  return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

double PixelsToTwips(int pixels, int dpi) noexcept {
  return static_cast<double>(pixels) * kTwipsPerInch / dpi;
}

}  // namespace orvane::win32
