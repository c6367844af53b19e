#pragma once
// Twips (1/1440 inch) to pixels and back at the display's density, which
// is 96 dots per inch (15 twips a pixel) on a default display.

#include <windows.h>

namespace orvane::win32 {

constexpr int kTwipsPerInch = 1440;

// The screen's dots per inch across and down.
struct Dpi {
  int x = 96;
  int y = 96;
};

// The system's density, read from the screen once; 96 while it cannot be
// read.
Dpi ScreenDpi() noexcept;

// Rounded to the nearest pixel.
int TwipsToPixels(double twips, int dpi) noexcept;

double PixelsToTwips(int pixels, int dpi) noexcept;

}  // namespace orvane::win32
