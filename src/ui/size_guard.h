#pragma once
// The arithmetic of the fixed-size guard: given the rectangle that a sizing
// drag proposes, which edge moves back so that the window keeps its size;
// and which size the guard holds against changes that come without a drag.
// Pure, so that it is tested without a window.

#include <cstdint>

namespace orvane {

// A sizing rectangle in screen pixels, laid out as the platform's RECT.
struct SizingRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

// The edge or corner being dragged, as WM_SIZING numbers it in wParam.
enum SizingEdge : std::uintptr_t {
  kSizingLeft = 1,
  kSizingRight = 2,
  kSizingTop = 3,
  kSizingTopLeft = 4,
  kSizingTopRight = 5,
  kSizingBottom = 6,
  kSizingBottomLeft = 7,
  kSizingBottomRight = 8,
};

// Returns `proposed` with the dragged edges put back at the fixed width and
// height from the opposite edge, which stays where it was. A dimension whose
// extent already equals the fixed size (compared as doubles) is left alone,
// and so is every rectangle for an `edge` outside 1 to 8. New edges are
// rounded to the nearest integer, halves to the even one; an edge that would
// not fit in 32 bits keeps its proposed value.
SizingRect HoldSize(const SizingRect& proposed, std::uintptr_t edge,
                    float fixedWidth, float fixedHeight);

// The size held against changes that come without a sizing drag: Snap,
// vertical maximize, a window manager's resize (all through SetWindowPos).
// It is the window's outer size in its normal state. A minimized window's
// rectangle is its icon's, and a window being restored is no longer
// minimized but still has that rectangle until its place has changed; in
// both cases the size is neither recorded nor held, so minimizing and
// restoring keep working.
class NormalSizeHold {
 public:
  // For every message, before it is handled: the window's outer size now,
  // whether it is minimized, and whether the message reports a change of
  // place already made (WM_WINDOWPOSCHANGED).
  void Observe(std::int32_t width, std::int32_t height, bool minimized,
               bool placeChanged);

  // True when a size is known and the window is neither minimized nor being
  // restored: a change of size is then put back to width() by height().
  bool Holding() const { return known_ && !awayFromNormal_; }

  // A size has been recorded: the tracking size limits may be answered.
  bool Known() const { return known_; }
  std::int32_t width() const { return width_; }
  std::int32_t height() const { return height_; }

 private:
  bool known_ = false;
  bool awayFromNormal_ = false;  // minimized, or restoring from it
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
};

}  // namespace orvane
