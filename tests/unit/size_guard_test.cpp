#include "ui/size_guard.h"

#include <cstdint>
#include <limits>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

namespace orvane {

// Found by argument-dependent lookup, so they live beside SizingRect.
bool operator==(const SizingRect& a, const SizingRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right &&
         a.bottom == b.bottom;
}

void PrintTo(const SizingRect& r, std::ostream* os) {
  *os << "{" << r.left << ", " << r.top << ", " << r.right << ", "
      << r.bottom << "}";
}

namespace {

struct EdgeCase {
  const char* name;
  std::uintptr_t edge;
  SizingRect expected;
};

// The window is 217 x 99 and sits at (100, 200); every drag proposes the
// window grown by 30 to the left and right and 20 up and down.
constexpr float kWidth = 217.0f;
constexpr float kHeight = 99.0f;
constexpr SizingRect kGrown{70, 180, 347, 319};

class EveryEdge : public ::testing::TestWithParam<EdgeCase> {};

TEST_P(EveryEdge, KeepsTheSizeAndTheOppositeEdge) {
  const EdgeCase& c = GetParam();
  const SizingRect held = HoldSize(kGrown, c.edge, kWidth, kHeight);
  EXPECT_EQ(held, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    SizeGuard, EveryEdge,
    ::testing::Values(
        // A side edge moves that side only; top and bottom stay as proposed.
        EdgeCase{"Left", kSizingLeft, {130, 180, 347, 319}},
        EdgeCase{"Right", kSizingRight, {70, 180, 287, 319}},
        EdgeCase{"Top", kSizingTop, {70, 220, 347, 319}},
        EdgeCase{"Bottom", kSizingBottom, {70, 180, 347, 279}},
        // A corner moves both of its edges; the opposite corner stays.
        EdgeCase{"TopLeft", kSizingTopLeft, {130, 220, 347, 319}},
        EdgeCase{"TopRight", kSizingTopRight, {70, 220, 287, 319}},
        EdgeCase{"BottomLeft", kSizingBottomLeft, {130, 180, 347, 279}},
        EdgeCase{"BottomRight", kSizingBottomRight, {70, 180, 287, 279}},
        // Anything else is not a drag the guard knows: left as it came.
        EdgeCase{"Zero", 0, kGrown},
        EdgeCase{"Nine", 9, kGrown},
        EdgeCase{"Huge", std::numeric_limits<std::uintptr_t>::max(), kGrown}),
    [](const ::testing::TestParamInfo<EdgeCase>& info) {
      return std::string(info.param.name);
    });

TEST(SizeGuard, ShrinkingIsHeldAsWellAsGrowing) {
  const SizingRect shrunk{150, 230, 300, 290};
  EXPECT_EQ(HoldSize(shrunk, kSizingTopLeft, kWidth, kHeight),
            (SizingRect{83, 191, 300, 290}));
  EXPECT_EQ(HoldSize(shrunk, kSizingBottomRight, kWidth, kHeight),
            (SizingRect{150, 230, 367, 329}));
}

TEST(SizeGuard, ARectangleOfTheFixedSizeIsUntouchedForEveryEdge) {
  const SizingRect same{100, 200, 317, 299};
  for (std::uintptr_t edge = 0; edge <= 9; ++edge) {
    EXPECT_EQ(HoldSize(same, edge, kWidth, kHeight), same) << "edge " << edge;
  }
}

TEST(SizeGuard, OnlyTheDimensionThatDiffersIsPutBack) {
  // Width already right, height grown: a corner drag moves only the bottom.
  const SizingRect taller{100, 200, 317, 340};
  EXPECT_EQ(HoldSize(taller, kSizingBottomRight, kWidth, kHeight),
            (SizingRect{100, 200, 317, 299}));
  // Height already right, width grown: only the left edge moves.
  const SizingRect wider{60, 200, 317, 299};
  EXPECT_EQ(HoldSize(wider, kSizingTopLeft, kWidth, kHeight),
            (SizingRect{100, 200, 317, 299}));
}

TEST(SizeGuard, HalvesRoundToTheEvenNeighbour) {
  struct Case {
    SizingRect proposed;
    std::uintptr_t edge;
    float width, height;
    SizingRect expected;
  };
  const Case cases[] = {
      // 300 - 200.5 = 99.5 -> 100; 301 - 200.5 = 100.5 -> 100.
      {{0, 0, 300, 10}, kSizingLeft, 200.5f, 10.0f, {100, 0, 300, 10}},
      {{0, 0, 301, 10}, kSizingLeft, 200.5f, 10.0f, {100, 0, 301, 10}},
      // 0 + 200.5 = 200.5 -> 200; 1 + 200.5 = 201.5 -> 202.
      {{0, 0, 50, 10}, kSizingRight, 200.5f, 10.0f, {0, 0, 200, 10}},
      {{1, 0, 50, 10}, kSizingRight, 200.5f, 10.0f, {1, 0, 202, 10}},
      // Below zero: -100 - 60.5 = -160.5 -> -160; -99 - 60.5 = -159.5 -> -160.
      {{0, -100, 10, 0}, kSizingBottom, 10.0f, 60.5f, {0, -100, 10, -40}},
      {{0, 0, 10, -100}, kSizingTop, 10.0f, 60.5f, {0, -160, 10, -100}},
      {{0, 0, 10, -99}, kSizingTop, 10.0f, 60.5f, {0, -160, 10, -99}},
      // Not a half: to the nearest.
      {{0, 0, 300, 10}, kSizingLeft, 200.25f, 10.0f, {100, 0, 300, 10}},
      {{0, 0, 300, 10}, kSizingLeft, 200.75f, 10.0f, {99, 0, 300, 10}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HoldSize(c.proposed, c.edge, c.width, c.height), c.expected)
        << "edge " << c.edge << " width " << c.width << " height " << c.height;
  }
}

TEST(SizeGuard, AFractionalSizeNeverEqualsAWholeExtent) {
  // 200 differs from 200.25, so the edge is recomputed, and rounds back.
  const SizingRect r{10, 0, 210, 50};
  EXPECT_EQ(HoldSize(r, kSizingRight, 200.25f, 50.0f), r);
}

TEST(SizeGuard, AnEdgeBeyond32BitsKeepsItsProposedValue) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  const SizingRect nearMax{kMax - 10, kMax - 10, kMax - 5, kMax - 5};
  EXPECT_EQ(HoldSize(nearMax, kSizingBottomRight, 100.0f, 100.0f), nearMax);
  const SizingRect nearMin{kMin + 5, kMin + 5, kMin + 10, kMin + 10};
  EXPECT_EQ(HoldSize(nearMin, kSizingTopLeft, 100.0f, 100.0f), nearMin);
  // The other dimension is still put back.
  const SizingRect wideAtMax{kMax - 10, 0, kMax - 5, 300};
  EXPECT_EQ(HoldSize(wideAtMax, kSizingBottomRight, 100.0f, 100.0f),
            (SizingRect{kMax - 10, 0, kMax - 5, 100}));
}

TEST(NormalSizeHold, HoldsTheNormalSizeThroughMinimizingAndRestoring) {
  NormalSizeHold hold;
  EXPECT_FALSE(hold.Holding());
  EXPECT_FALSE(hold.Known()) << "no size to answer before the first message";

  // Each step: the window's size, minimized, a change of place made; then
  // whether the guard holds and the size it holds.
  struct Step {
    const char* what;
    std::int32_t width, height;
    bool minimized, placeChanged;
    bool holding;
    std::int32_t heldWidth, heldHeight;
  };
  const Step steps[] = {
      {"normal", 217, 99, false, false, true, 217, 99},
      {"the program resized it", 229, 106, false, true, true, 229, 106},
      {"minimizing", 160, 24, true, false, false, 229, 106},
      {"minimized, place changed", 160, 24, true, true, false, 229, 106},
      // Restoring: no longer minimized, but the rectangle is the icon's
      // until the change of place has been made.
      {"restoring", 160, 24, false, false, false, 229, 106},
      {"restored", 229, 106, false, true, true, 229, 106},
      {"normal again", 229, 106, false, false, true, 229, 106},
  };
  for (const Step& step : steps) {
    hold.Observe(step.width, step.height, step.minimized, step.placeChanged);
    EXPECT_EQ(hold.Holding(), step.holding) << step.what;
    EXPECT_TRUE(hold.Known()) << step.what;
    EXPECT_EQ(hold.width(), step.heldWidth) << step.what;
    EXPECT_EQ(hold.height(), step.heldHeight) << step.what;
  }
}

TEST(NormalSizeHold, AWindowFirstSeenMinimizedHoldsNothingUntilRestored) {
  NormalSizeHold hold;
  hold.Observe(160, 24, true, false);
  hold.Observe(160, 24, false, false);  // being restored
  EXPECT_FALSE(hold.Known());
  EXPECT_FALSE(hold.Holding());
  hold.Observe(217, 99, false, true);
  EXPECT_TRUE(hold.Holding());
  EXPECT_EQ(hold.width(), 217);
  EXPECT_EQ(hold.height(), 99);
}

}  // namespace
}  // namespace orvane
