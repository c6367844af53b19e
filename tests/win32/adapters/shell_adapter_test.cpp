// The shell on Wine: the started process's exact command line and window
// style, exit codes, and the window messages handled while Run waits.

#include "platform/win32/shell_adapter.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "child_process.h"
#include "platform/failure.h"
#include "platform/win32/security.h"
#include "platform/win32/text_encoding.h"
#include "scratch_directory.h"

namespace orvane::win32 {
namespace {

using testing::ChildProgram;
using testing::ReadBytes;
using testing::ScratchDirectory;

struct ChildReport {
  std::wstring commandLine;
  int windowStyle = -99;
};

// The report that test_child.cpp writes: its command line, a line feed and
// the window style it was started with.
ChildReport ReadReport(const std::wstring& path) {
  const std::string bytes = ReadBytes(path);
  std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()),
                    bytes.size() / sizeof(wchar_t));
  ChildReport report;
  const std::size_t lineEnd = text.rfind(L'\n');
  if (lineEnd == std::wstring::npos) return report;
  report.commandLine = text.substr(0, lineEnd);
  report.windowStyle = std::stoi(text.substr(lineEnd + 1));
  return report;
}

std::int32_t RunChild(Shell& shell, const std::wstring& arguments,
                      int style = kStyleHidden, bool wait = true) {
  return shell.Run(WideToUtf8(ChildProgram()), WideToUtf8(arguments), style,
                   wait);
}

// ---------------------------------------------------------------------------
// The command line and the window style.

struct CommandLineCase {
  const wchar_t* name;
  const wchar_t* tail;  // the arguments after "<report> 0"
};

class ShellCommandLineTest
    : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(ShellCommandLineTest, IsTheQuotedPathABlankAndTheArgumentsAsGiven) {
  ScratchDirectory scratch;
  const std::wstring report = scratch / L"report.bin";
  const std::wstring arguments =
      L"\"" + report + L"\" 0" + std::wstring(GetParam().tail);

  auto shell = Win32ShellFactory().Create();
  ASSERT_EQ(RunChild(*shell, arguments), 0);

  EXPECT_EQ(ReadReport(report).commandLine,
            L"\"" + ChildProgram() + L"\" " + arguments);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, ShellCommandLineTest,
    ::testing::Values(
        CommandLineCase{L"DefragmenterForm", L" C: -f"},
        CommandLineCase{L"BlanksKept", L"  C:   -f "},
        CommandLineCase{L"QuotesKept", L" \"x y\" 'z' \\\"w\\\""},
        CommandLineCase{L"NonAscii", L" caf\u00e9 \u03a9"}),
    [](const ::testing::TestParamInfo<CommandLineCase>& info) {
      return WideToUtf8(info.param.name);
    });

TEST(ShellTest, ProgramPathWithBlanksIsQuotedWhole) {
  ScratchDirectory scratch;
  const std::wstring dir = scratch / L"dir with blanks";
  ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
  const std::wstring program = dir + L"\\child copy.exe";
  ASSERT_TRUE(CopyFileW(ChildProgram().c_str(), program.c_str(), FALSE));
  const std::wstring report = scratch / L"report.bin";
  const std::wstring arguments = L"\"" + report + L"\" 3 C: -f";

  Win32Shell shell;
  EXPECT_EQ(shell.Run(WideToUtf8(program), WideToUtf8(arguments),
                      kStyleHidden, true),
            3);
  EXPECT_EQ(ReadReport(report).commandLine,
            L"\"" + program + L"\" " + arguments);
}

// The system's own programs are started directly (so that a 32-bit process
// on 64-bit Windows reaches the real system directory); the command line
// and the window style stay as the shell would give them.
TEST(ShellTest, AProgramInTheSystemDirectoryKeepsTheCommandLineAndStyle) {
  wchar_t systemDir[MAX_PATH];
  ASSERT_GT(GetSystemDirectoryW(systemDir, MAX_PATH), 0u);
  const std::wstring program =
      std::wstring(systemDir) + L"\\orvane-shell-test-child.exe";
  ASSERT_TRUE(CopyFileW(ChildProgram().c_str(), program.c_str(), FALSE));
  ScratchDirectory scratch;
  const std::wstring report = scratch / L"report.bin";
  const std::wstring arguments = L"\"" + report + L"\" 7 C: -f";

  Win32Shell shell;
  const std::int32_t exitCode = shell.Run(
      WideToUtf8(program), WideToUtf8(arguments), kStyleHidden, true);
  const ChildReport child = ReadReport(report);
  // Without a console window, yet with a console to write to.
  EXPECT_EQ(shell.Run(WideToUtf8(program), "console", kStyleHidden, true), 0);
  DeleteFileW(program.c_str());
  EXPECT_EQ(exitCode, 7);
  EXPECT_EQ(child.commandLine, L"\"" + program + L"\" " + arguments);
  EXPECT_EQ(child.windowStyle, SW_HIDE);
}

struct StyleCase {
  int style;
  int expectedShowWindow;
};

class ShellWindowStyleTest : public ::testing::TestWithParam<StyleCase> {};

TEST_P(ShellWindowStyleTest, ReachesTheProgramAsItsShowWindow) {
  ScratchDirectory scratch;
  const std::wstring report = scratch / L"report.bin";
  Win32Shell shell;
  ASSERT_EQ(RunChild(shell, L"\"" + report + L"\" 0", GetParam().style), 0);
  EXPECT_EQ(ReadReport(report).windowStyle, GetParam().expectedShowWindow);
}

INSTANTIATE_TEST_SUITE_P(Styles, ShellWindowStyleTest,
                         ::testing::Values(StyleCase{kStyleHidden, SW_HIDE},
                                           StyleCase{kStyleMaximized,
                                                     SW_SHOWMAXIMIZED}));

// ---------------------------------------------------------------------------
// Exit codes.

struct ExitCodeCase {
  const wchar_t* argument;
  std::int32_t expected;
};

class ShellExitCodeTest : public ::testing::TestWithParam<ExitCodeCase> {};

TEST_P(ShellExitCodeTest, IsAnsweredSigned) {
  Win32Shell shell;
  EXPECT_EQ(RunChild(shell, L"- " + std::wstring(GetParam().argument)),
            GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ShellExitCodeTest,
    ::testing::Values(ExitCodeCase{L"0", 0}, ExitCodeCase{L"7", 7},
                      ExitCodeCase{L"-1", -1},
                      ExitCodeCase{L"0xC0000005",
                                   static_cast<std::int32_t>(0xC0000005u)}));

TEST(ShellTest, WithoutWaitAnswersZeroWhileTheProgramRuns) {
  ScratchDirectory scratch;
  const std::wstring report = scratch / L"report.bin";
  Win32Shell shell;
  const DWORD start = GetTickCount();
  EXPECT_EQ(RunChild(shell, L"\"" + report + L"\" 7 1500", kStyleHidden,
                     /*wait=*/false),
            0);
  EXPECT_LT(GetTickCount() - start, 1000u);
  // It did start: its report appears.
  for (int i = 0; i < 100 && !testing::Exists(report); ++i) Sleep(50);
  EXPECT_TRUE(testing::Exists(report));
  Sleep(1700);  // let it end before the scratch directory goes
}

TEST(ShellTest, MissingProgramThrowsFileNotFound) {
  ScratchDirectory scratch;
  Win32Shell shell;
  try {
    shell.Run(WideToUtf8(scratch / L"no such program.exe"), "C: -f",
              kStyleHidden, true);
    FAIL() << "no failure";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.number(),
              static_cast<std::int32_t>(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)));
    EXPECT_STRNE(failure.what(), "");
  }
}

TEST(ShellTest, DocumentWithoutAssociatedProgramThrowsNoAssociation) {
  // Elevated, as Wine runs every program, the system's Notepad opens every
  // document instead (window_opens.sh).
  if (RunsElevatedOrAsSystem()) GTEST_SKIP() << "elevated";
  ScratchDirectory scratch;
  const std::wstring document = scratch / L"report.orvane-no-such-type";
  CloseHandle(CreateFileW(document.c_str(), GENERIC_WRITE, 0, nullptr,
                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  Win32Shell shell;
  try {
    shell.Run(WideToUtf8(document), "", kStyleMaximized, true);
    FAIL() << "no failure";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.number(),
              static_cast<std::int32_t>(HRESULT_FROM_WIN32(ERROR_NO_ASSOCIATION)));
  }
}

// ---------------------------------------------------------------------------
// Window messages while Run waits.

// What the test window's handlers did.
struct Handled {
  int plain = 0;
  int nested = 0;
  int quit = 0;
  int timer = 0;
  std::int32_t nestedExitCode = -100;
  bool awaited = false;
  std::int32_t awaitedExitCode = -100;
};

class ShellMessageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = &ShellMessageTest::WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"OrvaneShellTestWindow";
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPED,
                              0, 0, 10, 10, /*hWndParent=*/nullptr,
                              /*hMenu=*/nullptr, windowClass.hInstance,
                              /*lpParam=*/nullptr);
    ASSERT_NE(window_, nullptr);
    handled_ = Handled();
    nested_ = nullptr;
    DrainQueue();
  }
  void TearDown() override {
    DestroyWindow(window_);
    DrainQueue();
  }

  static void DrainQueue() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) {
    switch (message) {
      case kPlain:
        ++handled_.plain;
        return 0;
      case kRunNested:
        // What a Stop click does inside a pass: runs while the pass waits.
        ++handled_.nested;
        handled_.nestedExitCode = RunChild(*nested_, L"- 5 200");
        return 0;
      case kAwait:
        // What the end of the session does inside a pass.
        handled_.awaited = nested_->AwaitEnd(5000, handled_.awaitedExitCode);
        return 0;
      case kQuit:
        ++handled_.quit;
        PostQuitMessage(43);
        SetTimer(window, kTimerId, 50, /*lpTimerFunc=*/nullptr);
        return 0;
      case WM_TIMER:
        ++handled_.timer;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  static constexpr UINT kPlain = WM_APP + 1;
  static constexpr UINT kRunNested = WM_APP + 2;
  static constexpr UINT kQuit = WM_APP + 3;
  static constexpr UINT kAwait = WM_APP + 4;
  static constexpr UINT_PTR kTimerId = 1;

  static inline Handled handled_;
  static inline Shell* nested_ = nullptr;
  HWND window_ = nullptr;
};

TEST_F(ShellMessageTest, MessagePostedBeforeRunIsHandledDuringTheWait) {
  Win32Shell shell;
  ASSERT_TRUE(PostMessageW(window_, kPlain, 0, 0));
  ASSERT_TRUE(PostMessageW(window_, kPlain, 0, 0));
  EXPECT_EQ(RunChild(shell, L"- 7 300"), 7);
  // Nothing but Run took messages from the queue.
  EXPECT_EQ(handled_.plain, 2);
}

TEST_F(ShellMessageTest, HandlerMayRunAnotherProgramNestedInsideTheWait) {
  Win32Shell shell;
  nested_ = &shell;
  ASSERT_TRUE(PostMessageW(window_, kRunNested, 0, 0));
  EXPECT_EQ(RunChild(shell, L"- 7 300"), 7);
  EXPECT_EQ(handled_.nested, 1);
  EXPECT_EQ(handled_.nestedExitCode, 5);
}

TEST_F(ShellMessageTest, QuitPostedBeforeRunIsPostedAgainAfterTheProgramEnds) {
  Win32Shell shell;
  PostQuitMessage(42);
  EXPECT_EQ(RunChild(shell, L"- 7 300"), 7);  // still waited for the end
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 42u);
}

TEST_F(ShellMessageTest, QuitFromAHandlerIsPostedAgainAndTheHandlingGoesOn) {
  Win32Shell shell;
  ASSERT_TRUE(PostMessageW(window_, kQuit, 0, 0));
  EXPECT_EQ(RunChild(shell, L"- 7 600"), 7);
  EXPECT_EQ(handled_.quit, 1);
  // The handler's timer fired while the program still ran: a window-less
  // process still answers messages until the program it waits for ends.
  EXPECT_GT(handled_.timer, 0);
  KillTimer(window_, kTimerId);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 43u);
}

TEST_F(ShellMessageTest, AHandlerMayAwaitTheEndOfTheProgramRunWaitsFor) {
  Win32Shell shell;
  std::int32_t exitCode = -100;
  EXPECT_FALSE(shell.AwaitEnd(0, exitCode));  // no Run waits
  nested_ = &shell;
  ASSERT_TRUE(PostMessageW(window_, kAwait, 0, 0));
  EXPECT_EQ(RunChild(shell, L"- 9 300"), 9);
  EXPECT_TRUE(handled_.awaited);
  EXPECT_EQ(handled_.awaitedExitCode, 9);
}

}  // namespace
}  // namespace orvane::win32
