// The fixed-size guard on Wine: real WM_SIZING messages sent to the loaded
// main window, the messages it passes on, and hooking and unhooking a plain
// window.

#include "ui/win32/no_resize.h"

#include <windows.h>

#include <memory>

#include <gtest/gtest.h>

#include "platform/failure.h"
#include "window_world.h"

namespace orvane::win32 {
namespace {

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right &&
         a.bottom == b.bottom;
}

::testing::AssertionResult RectIs(const RECT& actual, const RECT& expected) {
  if (SameRect(actual, expected)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "{" << actual.left << ", " << actual.top << ", " << actual.right
         << ", " << actual.bottom << "} instead of {" << expected.left << ", "
         << expected.top << ", " << expected.right << ", " << expected.bottom
         << "}";
}

class GuardedWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world_ = std::make_unique<WindowWorld>();
    world_->form.Load();
    PumpPending();
    ASSERT_TRUE(world_->form.IsLoaded());
    hwnd_ = world_->hwnd();
  }
  void TearDown() override {
    world_.reset();
    PumpPending();
  }

  RECT Outer() {
    RECT r;
    GetWindowRect(hwnd_, &r);
    return r;
  }

  std::unique_ptr<WindowWorld> world_;
  HWND hwnd_ = nullptr;
};

TEST_F(GuardedWindowTest, TheLoadPutsTheGuardInFrontOfTheWindow) {
  EXPECT_EQ(GetWindowLongPtrW(hwnd_, GWLP_WNDPROC),
            reinterpret_cast<LONG_PTR>(&WindowProc));
}

TEST_F(GuardedWindowTest, EveryDragKeepsTheSizeAndTheOppositeEdges) {
  const RECT now = Outer();
  // Every drag proposes the window grown by 30 on each side and 20 up and
  // down; the guard moves the dragged edges back.
  const RECT grown{now.left - 30, now.top - 20, now.right + 30, now.bottom + 20};
  const LONG w = now.right - now.left, h = now.bottom - now.top;
  struct Case {
    WPARAM edge;
    RECT expected;
  };
  const Case cases[] = {
      {WMSZ_LEFT, {grown.right - w, grown.top, grown.right, grown.bottom}},
      {WMSZ_RIGHT, {grown.left, grown.top, grown.left + w, grown.bottom}},
      {WMSZ_TOP, {grown.left, grown.bottom - h, grown.right, grown.bottom}},
      {WMSZ_TOPLEFT, {grown.right - w, grown.bottom - h, grown.right, grown.bottom}},
      {WMSZ_TOPRIGHT, {grown.left, grown.bottom - h, grown.left + w, grown.bottom}},
      {WMSZ_BOTTOM, {grown.left, grown.top, grown.right, grown.top + h}},
      {WMSZ_BOTTOMLEFT, {grown.right - w, grown.top, grown.right, grown.top + h}},
      {WMSZ_BOTTOMRIGHT, {grown.left, grown.top, grown.left + w, grown.top + h}},
      // Not an edge: left as it came, and still answered by the guard.
      {0, grown},
      {9, grown},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "wParam " << c.edge);
    RECT rect = grown;
    const LRESULT result = SendMessageW(hwnd_, WM_SIZING, c.edge,
                                        reinterpret_cast<LPARAM>(&rect));
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(RectIs(rect, c.expected));
  }
  EXPECT_TRUE(RectIs(Outer(), now)) << "a sizing message moves nothing itself";
}

TEST_F(GuardedWindowTest, ShrinkingIsHeldToo) {
  const RECT now = Outer();
  RECT rect{now.left + 40, now.top + 25, now.right, now.bottom};
  SendMessageW(hwnd_, WM_SIZING, WMSZ_TOPLEFT, reinterpret_cast<LPARAM>(&rect));
  EXPECT_TRUE(RectIs(rect, now));
}

TEST_F(GuardedWindowTest, AResizeWithoutADragIsHeldAndTheMoveKept) {
  // Snap, vertical maximize and a window manager resize through
  // SetWindowPos, without WM_SIZING.
  const RECT now = Outer();
  const LONG w = now.right - now.left, h = now.bottom - now.top;
  SetWindowPos(hwnd_, nullptr, now.left + 5, now.top + 6, w + 120, h + 200,
               SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(RectIs(Outer(), {now.left + 5, now.top + 6, now.right + 5,
                               now.bottom + 6}));
  SetWindowPos(hwnd_, nullptr, 0, 0, w - 50, h - 30,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(Outer().right - Outer().left, w);
  EXPECT_EQ(Outer().bottom - Outer().top, h);

  // The held size is also the smallest and the largest the window may have.
  MINMAXINFO info{};
  info.ptMaxTrackSize = {4000, 3000};
  SendMessageW(hwnd_, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, w);
  EXPECT_EQ(info.ptMinTrackSize.y, h);
  EXPECT_EQ(info.ptMaxTrackSize.x, w);
  EXPECT_EQ(info.ptMaxTrackSize.y, h);
}

TEST_F(GuardedWindowTest, OtherMessagesReachTheWindowWithTheirResults) {
  wchar_t text[64] = L"";
  const LRESULT length = SendMessageW(hwnd_, WM_GETTEXT, 64,
                                      reinterpret_cast<LPARAM>(text));
  EXPECT_EQ(length, 10);
  EXPECT_STREQ(text, L"Defragment");

  // A message that only the window's own procedure answers this way.
  HDC dc = CreateCompatibleDC(nullptr);
  const LRESULT brush = SendMessageW(
      hwnd_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
      reinterpret_cast<LPARAM>(world_->Control(kLabel1Id)));
  EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), GetSysColorBrush(COLOR_BTNFACE));
  DeleteDC(dc);
}

TEST_F(GuardedWindowTest, MinimizingAndRestoringAreNotBlocked) {
  const RECT before = Outer();
  ShowWindow(hwnd_, SW_MINIMIZE);
  EXPECT_TRUE(IsIconic(hwnd_));
  ShowWindow(hwnd_, SW_RESTORE);
  EXPECT_FALSE(IsIconic(hwnd_));
  EXPECT_TRUE(RectIs(Outer(), before));
  // And the guard holds the restored size, against a drag and without one.
  RECT rect{before.left, before.top, before.right + 9, before.bottom};
  SendMessageW(hwnd_, WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&rect));
  EXPECT_TRUE(RectIs(rect, before));
  SetWindowPos(hwnd_, nullptr, 0, 0, 600, 400,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(RectIs(Outer(), before));
}

TEST_F(GuardedWindowTest, RemovingTheGuardPutsTheWindowsProcedureBack) {
  world_->form.RemoveSizeGuard();
  EXPECT_EQ(GetWindowLongPtrW(hwnd_, GWLP_WNDPROC),
            static_cast<LONG_PTR>(GetClassLongPtrW(hwnd_, GCLP_WNDPROC)));
  // Sizing now goes to the window's default handling, which takes the
  // proposed rectangle as it is.
  const RECT now = Outer();
  RECT rect{now.left, now.top, now.right + 30, now.bottom + 20};
  const RECT proposed = rect;
  SendMessageW(hwnd_, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&rect));
  EXPECT_TRUE(RectIs(rect, proposed));
}

TEST_F(GuardedWindowTest, ASizingMessageWithoutARectangleIsStillAnswered) {
  EXPECT_EQ(SendMessageW(hwnd_, WM_SIZING, WMSZ_LEFT, 0), 0);
}

// --- A plain window ----------------------------------------------------------

constexpr UINT kAnswerMe = WM_APP + 1;
int plainMessages = 0;

LRESULT CALLBACK PlainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kAnswerMe) {
    ++plainMessages;
    return 1234;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

class PlainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &PlainProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"OrvaneGuardTestWindow";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"plain",
                            WS_OVERLAPPEDWINDOW, 10, 10, 300, 120, nullptr,
                            nullptr, wc.hInstance, nullptr);
    ASSERT_NE(hwnd_, nullptr);
    plainMessages = 0;
  }
  void TearDown() override {
    UnhookForm();
    DestroyWindow(hwnd_);
  }
  HWND hwnd_ = nullptr;
};

TEST_F(PlainWindowTest, HookedWindowStillAnswersThroughItsOwnProcedure) {
  HookForm(hwnd_);
  EXPECT_EQ(SendMessageW(hwnd_, kAnswerMe, 0, 0), 1234);
  EXPECT_EQ(plainMessages, 1);
  UnhookForm();
  EXPECT_EQ(GetWindowLongPtrW(hwnd_, GWLP_WNDPROC),
            reinterpret_cast<LONG_PTR>(&PlainProc));
  EXPECT_EQ(SendMessageW(hwnd_, kAnswerMe, 0, 0), 1234);
  EXPECT_EQ(plainMessages, 2);
}

TEST_F(PlainWindowTest, UnhookingTwiceChangesNothing) {
  HookForm(hwnd_);
  UnhookForm();
  UnhookForm();
  EXPECT_EQ(GetWindowLongPtrW(hwnd_, GWLP_WNDPROC),
            reinterpret_cast<LONG_PTR>(&PlainProc));
}

TEST_F(PlainWindowTest, HookingAWindowThatIsGoneFailsWithTheSystemsError) {
  const HWND gone = hwnd_;
  DestroyWindow(gone);
  try {
    HookForm(gone);
    FAIL() << "no failure";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.number(), HRESULT_FROM_WIN32(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_STRNE(failure.what(), "");
  }
  // Nothing is hooked: unhooking touches no window.
  UnhookForm();
}

TEST_F(PlainWindowTest, WithNothingReplacedMessagesGoToTheDefaultProcedure) {
  // Called directly, as the system would for a message that arrives before
  // the previous procedure is known.
  wchar_t text[16] = L"";
  EXPECT_EQ(WindowProc(hwnd_, WM_GETTEXT, 16, reinterpret_cast<LPARAM>(text)), 5);
  EXPECT_STREQ(text, L"plain");
  EXPECT_EQ(WindowProc(hwnd_, kAnswerMe, 0, 0), 0) << "not PlainProc's answer";
}

}  // namespace
}  // namespace orvane::win32
