// frmOrvane on Wine: its design, focus and tab order, the label's colour,
// its properties, loading by the window state, closing, and the way the
// click handlers are reached and their failures shown.

#include "ui/win32/frm_orvane.h"

#include <windows.h>

#include <cmath>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "platform/win32/message_dispatch.h"
#include "ui/win32/no_resize.h"
#include "window_world.h"

namespace orvane::win32 {
namespace {

class FrmOrvaneTest : public ::testing::Test {
 protected:
  void SetUp() override { world_ = std::make_unique<WindowWorld>(); }
  void TearDown() override {
    world_.reset();
    PumpPending();  // the WM_QUIT of the window's end
  }

  void LoadWindow() {
    w().form.Load();
    PumpPending();
    ASSERT_TRUE(w().form.IsLoaded());
  }

  WindowWorld& w() { return *world_; }
  HWND Command1() { return w().Control(kCommand1Id); }
  HWND Command2() { return w().Control(kCommand2Id); }
  HWND TxtOver() { return w().Control(kTxtOverId); }
  HWND Label1() { return w().Control(kLabel1Id); }

  // A control's rectangle in the window's client coordinates.
  RECT ClientRectOf(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(/*hWndFrom=*/nullptr, w().hwnd(),
                    reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

  static std::wstring TextOf(HWND window) {
    wchar_t text[256] = L"";
    GetWindowTextW(window, text, 256);
    return text;
  }

  static std::wstring ClassOf(HWND window) {
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
  }

  static int Dpi(int index) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, index);
    ReleaseDC(nullptr, screen);
    return dpi;
  }

  std::unique_ptr<WindowWorld> world_;
};

// --- Design ------------------------------------------------------------------

TEST_F(FrmOrvaneTest, CreatingTheObjectCreatesNoWindow) {
  EXPECT_FALSE(w().form.IsLoaded());
  EXPECT_EQ(w().form.hwnd(), nullptr);
  EXPECT_EQ(FindWindowW(L"OrvaneMainWindow", nullptr), nullptr);
}

TEST_F(FrmOrvaneTest, OpensWithTheDesignedFrameCaptionAndClientArea) {
  LoadWindow();
  const HWND hwnd = w().hwnd();
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_EQ(TextOf(hwnd), L"Defragment");

  const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_TRUE(style & WS_THICKFRAME) << "the guard, not the frame, holds the size";
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);

  RECT client;
  GetClientRect(hwnd, &client);
  if (Dpi(LOGPIXELSX) == 96 && Dpi(LOGPIXELSY) == 96) {
    EXPECT_EQ(client.right, 201);
    EXPECT_EQ(client.bottom, 60);
  } else {
    EXPECT_EQ(client.right, std::lround(3015.0 * Dpi(LOGPIXELSX) / 1440));
    EXPECT_EQ(client.bottom, std::lround(900.0 * Dpi(LOGPIXELSY) / 1440));
  }
}

TEST_F(FrmOrvaneTest, ControlsHaveTheirDesignedKindTextAndPlace) {
  LoadWindow();
  const bool at96 = Dpi(LOGPIXELSX) == 96 && Dpi(LOGPIXELSY) == 96;
  struct Expected {
    const char* name;
    HWND control;
    const wchar_t* className;
    const wchar_t* text;
    int left, top, width, height;  // twips, as designed
    RECT at96;                     // client pixels at 96 DPI
  };
  const Expected controls[] = {
      {"Command1", Command1(), L"Button", L"Start", 240, 120, 1215, 375, {16, 8, 97, 33}},
      {"Command2", Command2(), L"Button", L"Report", 1560, 120, 1215, 375, {104, 8, 185, 33}},
      {"txtOver", TxtOver(), L"Edit", L"Text1", 480, 240, 150, 195, {32, 16, 42, 29}},
      {"Label1", Label1(), L"Static", nullptr, 0, 600, 3015, 255, {0, 40, 201, 57}},
  };
  // At another density each value is converted on its own, to the nearest
  // pixel.
  auto px = [](int twips, int dpi) {
    return static_cast<LONG>(std::lround(twips * static_cast<double>(dpi) / 1440));
  };
  const int dx = Dpi(LOGPIXELSX), dy = Dpi(LOGPIXELSY);
  for (const Expected& c : controls) {
    SCOPED_TRACE(c.name);
    ASSERT_NE(c.control, nullptr);
    EXPECT_EQ(ClassOf(c.control), c.className);
    if (c.text) {
      EXPECT_EQ(TextOf(c.control), c.text);
    }
    const RECT r = ClientRectOf(c.control);
    const RECT expected =
        at96 ? c.at96
             : RECT{px(c.left, dx), px(c.top, dy), px(c.left, dx) + px(c.width, dx),
                    px(c.top, dy) + px(c.height, dy)};
    EXPECT_EQ(r.left, expected.left);
    EXPECT_EQ(r.top, expected.top);
    EXPECT_EQ(r.right, expected.right);
    EXPECT_EQ(r.bottom, expected.bottom);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(c.control, WM_GETFONT, 0, 0)),
              GetStockObject(DEFAULT_GUI_FONT));
  }
}

TEST_F(FrmOrvaneTest, CreditLineIsOneCentredLineNamingAWebAddress) {
  LoadWindow();
  const std::wstring text = TextOf(Label1());
  EXPECT_NE(text.find(L"www."), std::wstring::npos) << "text: " << text.c_str();
  EXPECT_EQ(text.find(L'\n'), std::wstring::npos);
  const LONG style = GetWindowLongW(Label1(), GWL_STYLE);
  EXPECT_EQ(style & SS_TYPEMASK, SS_CENTER);
  EXPECT_FALSE(style & WS_TABSTOP);
}

TEST_F(FrmOrvaneTest, ReportStartsDisabledAndStartEnabled) {
  LoadWindow();
  EXPECT_TRUE(IsWindowEnabled(Command1()));
  EXPECT_FALSE(IsWindowEnabled(Command2()));
}

TEST_F(FrmOrvaneTest, ReportStartsEnabledWhenThisMonthsReportExists) {
  w().PutReport();
  LoadWindow();
  EXPECT_TRUE(IsWindowEnabled(Command2()));
}

TEST_F(FrmOrvaneTest, StartHidesTheFocusSinkCompletely) {
  LoadWindow();
  const RECT sink = ClientRectOf(TxtOver());
  const RECT start = ClientRectOf(Command1());
  EXPECT_GE(sink.left, start.left);
  EXPECT_GE(sink.top, start.top);
  EXPECT_LE(sink.right, start.right);
  EXPECT_LE(sink.bottom, start.bottom);
  // Command1 lies above txtOver: every point of the sink finds the button.
  for (POINT p : {POINT{sink.left, sink.top}, POINT{sink.right - 1, sink.bottom - 1},
                  POINT{(sink.left + sink.right) / 2, (sink.top + sink.bottom) / 2}}) {
    EXPECT_EQ(ChildWindowFromPointEx(w().hwnd(), p, CWP_SKIPINVISIBLE), Command1());
  }
  // Both clip their siblings, so the button's painting covers the sink.
  EXPECT_TRUE(GetWindowLongW(Command1(), GWL_STYLE) & WS_CLIPSIBLINGS);
  EXPECT_TRUE(GetWindowLongW(TxtOver(), GWL_STYLE) & WS_CLIPSIBLINGS);
}

TEST_F(FrmOrvaneTest, LabelIsDrawnInTheButtonShadowColour) {
  LoadWindow();
  HDC dc = CreateCompatibleDC(nullptr);
  const LRESULT brush = SendMessageW(w().hwnd(), WM_CTLCOLORSTATIC,
                                     reinterpret_cast<WPARAM>(dc),
                                     reinterpret_cast<LPARAM>(Label1()));
  EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), GetSysColorBrush(COLOR_BTNFACE));
  DeleteDC(dc);
}

// --- Focus and tab order -----------------------------------------------------

TEST_F(FrmOrvaneTest, FocusSinkHoldsTheFocusWhenTheWindowOpens) {
  LoadWindow();
  EXPECT_EQ(GetFocus(), TxtOver());
}

TEST_F(FrmOrvaneTest, TabOrderIsSinkStartReportSkippingADisabledReport) {
  LoadWindow();
  const HWND hwnd = w().hwnd();
  EXPECT_EQ(GetNextDlgTabItem(hwnd, TxtOver(), FALSE), Command1());
  EXPECT_EQ(GetNextDlgTabItem(hwnd, Command1(), FALSE), TxtOver());

  w().form.SetCommand2Enabled(true);
  EXPECT_EQ(GetNextDlgTabItem(hwnd, TxtOver(), FALSE), Command1());
  EXPECT_EQ(GetNextDlgTabItem(hwnd, Command1(), FALSE), Command2());
  EXPECT_EQ(GetNextDlgTabItem(hwnd, Command2(), FALSE), TxtOver());
  EXPECT_EQ(GetNextDlgTabItem(hwnd, TxtOver(), TRUE), Command2());
}

TEST_F(FrmOrvaneTest, TabKeyThroughTheMessageDispatchMovesTheFocus) {
  w().PutReport();
  LoadWindow();
  ASSERT_EQ(GetFocus(), TxtOver());
  for (HWND expected : {Command1(), Command2(), TxtOver()}) {
    MSG tab{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    DispatchWindowMessage(tab);
    EXPECT_EQ(GetFocus(), expected);
  }
}

TEST_F(FrmOrvaneTest, FocusReturnsToTheSinkWhenTheWindowIsActivatedAgain) {
  LoadWindow();
  SetFocus(w().hwnd());  // as the default activation does
  EXPECT_EQ(GetFocus(), TxtOver());
}

// --- Properties --------------------------------------------------------------

TEST_F(FrmOrvaneTest, CaptionsAndEnabledStatesReachTheControls) {
  LoadWindow();
  w().form.SetCaption("Defragmenting ..");
  EXPECT_EQ(TextOf(w().hwnd()), L"Defragmenting ..");

  w().form.SetCommand1Caption("Stop");
  EXPECT_EQ(TextOf(Command1()), L"Stop");
  EXPECT_EQ(w().form.Command1Caption(), "Stop");
  // UTF-8 in, UTF-16 on the control, UTF-8 out.
  w().form.SetCommand1Caption("D\xC3\xA9marrer");
  EXPECT_EQ(TextOf(Command1()), L"D\u00e9marrer");
  EXPECT_EQ(w().form.Command1Caption(), "D\xC3\xA9marrer");

  w().form.SetCommand1Enabled(false);
  EXPECT_FALSE(IsWindowEnabled(Command1()));
  w().form.SetCommand2Enabled(true);
  EXPECT_TRUE(IsWindowEnabled(Command2()));
  w().form.SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(w().hwnd()));
  w().form.SetEnabled(true);
  EXPECT_TRUE(IsWindowEnabled(w().hwnd()));
}

// At 96 DPI, 15 twips a pixel: the sizes are the outer rectangle's, frame
// and caption included, and a move goes to the nearest pixel and keeps the
// size. (That the sizes and the move agree at any density, the centred
// window shows: OpensCentredOnTheScreen.)
TEST_F(FrmOrvaneTest, GeometryIsInTwipsOfTheOuterRectangle) {
  if (Dpi(LOGPIXELSX) != 96 || Dpi(LOGPIXELSY) != 96) GTEST_SKIP() << "not at 96 DPI";
  LoadWindow();
  RECT outer;
  GetWindowRect(w().hwnd(), &outer);
  EXPECT_GT(w().form.WidthTwips(), 3015.0) << "the client's width alone";
  EXPECT_GT(w().form.HeightTwips(), 900.0) << "the client's height alone";
  EXPECT_EQ(w().form.WidthTwips(), 15.0 * (outer.right - outer.left));
  EXPECT_EQ(w().form.HeightTwips(), 15.0 * (outer.bottom - outer.top));
  EXPECT_EQ(w().form.ScreenWidthTwips(), 15.0 * GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(w().form.ScreenHeightTwips(), 15.0 * GetSystemMetrics(SM_CYSCREEN));

  w().form.SetLeftTwips(1500.0f);  // 100 pixels
  w().form.SetTopTwips(757.5f);    // 50.5 pixels, to the nearest: 51
  RECT moved;
  GetWindowRect(w().hwnd(), &moved);
  EXPECT_EQ(moved.left, 100);
  EXPECT_EQ(moved.top, 51);
  EXPECT_EQ(moved.right - moved.left, outer.right - outer.left) << "moved, not sized";
}

TEST_F(FrmOrvaneTest, OpensCentredOnTheScreen) {
  LoadWindow();
  RECT outer;
  GetWindowRect(w().hwnd(), &outer);
  const int width = outer.right - outer.left, height = outer.bottom - outer.top;
  EXPECT_NEAR(outer.left, (GetSystemMetrics(SM_CXSCREEN) - width) / 2.0, 1.0);
  EXPECT_NEAR(outer.top, (GetSystemMetrics(SM_CYSCREEN) - height) / 2.0, 1.0);
}

TEST_F(FrmOrvaneTest, WindowStateMinimizesRestoresAndIsRecorded) {
  LoadWindow();
  EXPECT_EQ(w().form.GetWindowState(), WindowState::kNormal);
  w().form.SetWindowState(WindowState::kMinimized);
  EXPECT_TRUE(IsIconic(w().hwnd()));
  EXPECT_EQ(w().form.GetWindowState(), WindowState::kMinimized);
  EXPECT_EQ(w().ctx.state.bMinimized, kTrue);

  w().form.SetWindowState(WindowState::kNormal);
  EXPECT_FALSE(IsIconic(w().hwnd()));
  EXPECT_EQ(w().form.GetWindowState(), WindowState::kNormal);
  EXPECT_EQ(w().ctx.state.bMinimized, kFalse);
}

TEST_F(FrmOrvaneTest, SettingTheStateOfAnUnloadedWindowLoadsItFirst) {
  w().ctx.state.bMinimized = kTrue;  // as start-up sets it for "-S"
  w().form.SetWindowState(WindowState::kMinimized);
  PumpPending();
  ASSERT_TRUE(w().form.IsLoaded());
  EXPECT_TRUE(IsWindowVisible(w().hwnd())) << "the load handling showed it";
  EXPECT_TRUE(IsIconic(w().hwnd()));
  EXPECT_EQ(w().ctx.state.bMinimized, kTrue);
  EXPECT_EQ(GetWindowLongPtrW(w().hwnd(), GWLP_WNDPROC),
            reinterpret_cast<LONG_PTR>(&WindowProc))
      << "the load handling installed the guard";
}

TEST_F(FrmOrvaneTest, UnloadedWindowIgnoresSettersAndAnswersEmpty) {
  w().form.SetCaption("x");
  w().form.SetCommand1Caption("x");
  w().form.SetCommand2Enabled(true);
  w().form.FocusTxtOver();
  w().form.Show();
  EXPECT_EQ(w().form.Command1Caption(), "");
  EXPECT_EQ(w().form.GetWindowState(), WindowState::kNormal);
  EXPECT_FALSE(w().form.IsLoaded());
}

// --- Closing -----------------------------------------------------------------

TEST_F(FrmOrvaneTest, CloseRunsTheClosingHandlersDestroysAndEndsTheLoop) {
  LoadWindow();
  const HWND hwnd = w().hwnd();
  SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(w().form.IsLoaded());
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(w().ctx.state.bStopRequested, kTrue);
  EXPECT_EQ(w().management.queries.size(), 3u) << "the three process questions";
  EXPECT_TRUE(PumpPending()) << "WM_QUIT posted";
  EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_WNDPROC), 0);

  // Unloading again does nothing.
  w().form.Unload();
  EXPECT_EQ(w().management.queries.size(), 3u);
}

TEST_F(FrmOrvaneTest, AnUnloadedWindowCanBeLoadedAgain) {
  LoadWindow();
  w().form.Unload();
  PumpPending();
  ASSERT_FALSE(w().form.IsLoaded());
  LoadWindow();
  EXPECT_TRUE(IsWindowVisible(w().hwnd()));
  EXPECT_EQ(TextOf(Command1()), L"Start");
  EXPECT_FALSE(IsWindowEnabled(Command2()));
}

TEST_F(FrmOrvaneTest, TheObjectsEndUnloadsTheWindow) {
  LoadWindow();
  const HWND hwnd = w().hwnd();
  world_.reset();
  EXPECT_FALSE(IsWindow(hwnd));
}

// --- Clicks ------------------------------------------------------------------

TEST_F(FrmOrvaneTest, ReportClickOpensTheReportMaximizedAndWaits) {
  w().PutReport();
  LoadWindow();
  SendMessageW(Command2(), BM_CLICK, 0, 0);
  ASSERT_EQ(w().shells.calls.size(), 1u);
  EXPECT_EQ(w().shells.calls[0].program, ReportPath(w().ctx.services));
  EXPECT_EQ(w().shells.calls[0].style, kStyleMaximized);
  EXPECT_TRUE(w().shells.calls[0].wait);
  EXPECT_EQ(GetFocus(), TxtOver());
}

TEST_F(FrmOrvaneTest, StartClickRunsAPassInsideTheClick) {
  LoadWindow();
  SendMessageW(Command1(), BM_CLICK, 0, 0);
  ASSERT_EQ(w().shells.calls.size(), 1u) << "one run for drive C:";
  EXPECT_EQ(w().shells.calls[0].arguments, "C: -f");
  EXPECT_EQ(TextOf(w().hwnd()), L"Defragmented");
  EXPECT_EQ(TextOf(Command1()), L"Start");
  EXPECT_TRUE(IsWindowEnabled(Command2())) << "the pass wrote the report";
  EXPECT_EQ(GetFocus(), TxtOver());
}

TEST_F(FrmOrvaneTest, ClosingDuringAPassUnloadsInsideTheClickAndStopsThePass) {
  w().drives.drives = {{"C:", kDriveFixed}, {"D:", kDriveFixed}};
  LoadWindow();
  const HWND hwnd = w().hwnd();
  // The user closes the window while drive C: is defragmented: the close
  // runs nested inside the click, and destroys the window under it.
  w().shells.whileWaiting = [&](const fakes::ShellCall&) {
    if (IsWindow(hwnd)) SendMessageW(hwnd, WM_CLOSE, 0, 0);
  };
  SendMessageW(Command1(), BM_CLICK, 0, 0);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_FALSE(w().form.IsLoaded());
  EXPECT_EQ(w().ctx.state.bStopRequested, kTrue);
  EXPECT_EQ(w().shells.calls.size(), 1u) << "no run for D: after the close";
  EXPECT_TRUE(PumpPending()) << "WM_QUIT posted";
}

TEST_F(FrmOrvaneTest, TheSessionEndIsNeverRefusedAndOnlyAnEndThatHappensCloses) {
  w().drives.drives = {{"C:", kDriveFixed}, {"D:", kDriveFixed}};
  LoadWindow();
  const HWND hwnd = w().hwnd();
  LRESULT query = FALSE;
  std::string recordAtEnd;
  w().shells.whileWaiting = [&](const fakes::ShellCall&) {
    // Another user's logoff, told to a run as SYSTEM: not its own end.
    w().account.system = true;
    SendMessageW(hwnd, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_TRUE(IsWindow(hwnd));
    w().account.system = false;
    query = SendMessageW(hwnd, WM_QUERYENDSESSION, 0, 0);
    // A cancelled end: the pass goes on as if nothing had been asked.
    SendMessageW(hwnd, WM_ENDSESSION, FALSE, 0);
    EXPECT_EQ(w().ctx.state.bStopRequested, kFalse);
    EXPECT_TRUE(IsWindow(hwnd));
    SendMessageW(hwnd, WM_ENDSESSION, TRUE, 0);
    recordAtEnd = w().files.contents[ReportPath(w().ctx.services)];
  };
  SendMessageW(Command1(), BM_CLICK, 0, 0);
  EXPECT_EQ(query, TRUE);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_NE(recordAtEnd.find("Drive C: Defrag completed successfully\r\n"
                             "Drive D: Defrag aborted by user\r\n"),
            std::string::npos)
      << "the record is on file when the end is answered";
  EXPECT_TRUE(PumpPending()) << "WM_QUIT posted";
}

TEST_F(FrmOrvaneTest, APassEndingMinimizedWithExitUnloadsInsideTheClick) {
  LoadWindow();
  const HWND hwnd = w().hwnd();
  w().ctx.state.bExitWhenDone = kTrue;
  w().form.SetWindowState(WindowState::kMinimized);
  SendMessageW(Command1(), BM_CLICK, 0, 0);
  EXPECT_EQ(w().shells.calls.size(), 1u);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_FALSE(w().form.IsLoaded());
  EXPECT_TRUE(PumpPending()) << "WM_QUIT posted";
}

TEST_F(FrmOrvaneTest, AFailureEscapingAClickIsShownInAMessageBox) {
  w().PutReport();
  w().shells.createFails = true;
  LoadWindow();
  SendMessageW(Command2(), BM_CLICK, 0, 0);
  ASSERT_EQ(w().dialogs.shown.size(), 1u);
  EXPECT_EQ(w().dialogs.shown[0].text, "Invalid class string");
  EXPECT_EQ(w().dialogs.shown[0].style, 16);
  EXPECT_EQ(w().dialogs.shown[0].title, "Orvane");
  EXPECT_TRUE(w().form.IsLoaded()) << "the window goes on";
}

TEST_F(FrmOrvaneTest, EnterAndEscapeClickNoButton) {
  LoadWindow();
  for (WPARAM key : {WPARAM{VK_RETURN}, WPARAM{VK_ESCAPE}}) {
    MSG down{TxtOver(), WM_KEYDOWN, key, 0, 0, {0, 0}};
    DispatchWindowMessage(down);
  }
  EXPECT_TRUE(w().shells.calls.empty());
  EXPECT_EQ(TextOf(Command1()), L"Start");
  EXPECT_TRUE(w().form.IsLoaded());
}

}  // namespace
}  // namespace orvane::win32
