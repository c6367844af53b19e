#pragma once
// The arithmetic of the fixed-size guard: given the rectangle that a sizing
// drag proposes, which edge moves back so that the window keeps its size.
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

}  // namespace orvane
