#include "ui/size_guard.h"

#include <cmath>
#include <limits>

namespace orvane {
namespace {

// Rounds to the nearest integer, halves to the even neighbour, without
// depending on the floating-point environment's rounding mode. Answers false
// (and leaves `out` alone) when the value does not fit in 32 bits.
bool RoundHalfEven(double value, std::int32_t& out) {
  if (!std::isfinite(value)) return false;
  double whole = std::floor(value);
  const double fraction = value - whole;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) {
    whole += 1.0;
  }
  if (whole < std::numeric_limits<std::int32_t>::min() ||
      whole > std::numeric_limits<std::int32_t>::max()) {
    return false;
  }
  out = static_cast<std::int32_t>(whole);
  return true;
}

bool MovesLeft(std::uintptr_t edge) {
  return edge == kSizingLeft || edge == kSizingTopLeft ||
         edge == kSizingBottomLeft;
}
bool MovesRight(std::uintptr_t edge) {
  return edge == kSizingRight || edge == kSizingTopRight ||
         edge == kSizingBottomRight;
}
bool MovesTop(std::uintptr_t edge) {
  return edge == kSizingTop || edge == kSizingTopLeft ||
         edge == kSizingTopRight;
}
bool MovesBottom(std::uintptr_t edge) {
  return edge == kSizingBottom || edge == kSizingBottomLeft ||
         edge == kSizingBottomRight;
}

}  // namespace

SizingRect HoldSize(const SizingRect& proposed, std::uintptr_t edge,
                    float fixedWidth, float fixedHeight) {
  SizingRect held = proposed;
  // Extents in double: right - left of two int32 values cannot overflow there.
  const double width = static_cast<double>(proposed.right) - proposed.left;
  const double height = static_cast<double>(proposed.bottom) - proposed.top;
  const double fixedW = fixedWidth;
  const double fixedH = fixedHeight;

  if (width != fixedW) {
    if (MovesLeft(edge)) {
      RoundHalfEven(proposed.right - fixedW, held.left);
    } else if (MovesRight(edge)) {
      RoundHalfEven(proposed.left + fixedW, held.right);
    }
  }
  if (height != fixedH) {
    if (MovesTop(edge)) {
      RoundHalfEven(proposed.bottom - fixedH, held.top);
    } else if (MovesBottom(edge)) {
      RoundHalfEven(proposed.top + fixedH, held.bottom);
    }
  }
  return held;
}

void NormalSizeHold::Observe(std::int32_t width, std::int32_t height,
                             bool minimized, bool placeChanged) {
  if (minimized) {
    awayFromNormal_ = true;
    return;
  }
  // Being restored: the rectangle is still the icon's until the change of
  // place has been made.
  if (awayFromNormal_ && !placeChanged) return;
  awayFromNormal_ = false;
  known_ = true;
  width_ = width;
  height_ = height;
}

}  // namespace orvane
