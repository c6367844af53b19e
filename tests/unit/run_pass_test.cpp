#include "run/run_pass.h"

#include <gtest/gtest.h>

#include "world.h"

namespace orvane {
namespace {

using fakes::World;

const char kHeader[] = "12/7/2026 - 6:46:13 AM\r\n";

// A pass as the controller starts it.
void Pass(World& w) {
  w.window.command1Caption = "Stop";
  w.window.command1Enabled = false;
  w.window.caption = "Defragmenting ..";
  w.ctx.state.bStopRequested = kFalse;
  RunPass(w.ctx);
}

void SetFixed(World& w, std::vector<std::string> letters) {
  w.drives.drives = {{"A:", kDriveRemovable}};
  for (const auto& l : letters) w.drives.drives.push_back({l, kDriveFixed});
  w.drives.drives.push_back({"E:", kDriveCdRom});
  w.drives.drives.push_back({"N:", kDriveNetwork});
}

TEST(RunPassTest, DefragmentsEveryFixedDriveHiddenAndWaiting) {
  World w;
  SetFixed(w, {"C:", "D:"});
  Pass(w);
  ASSERT_EQ(w.shells.calls.size(), 2u);
  EXPECT_EQ(w.shells.calls[0].program, World::kDefrag);
  EXPECT_EQ(w.shells.calls[0].arguments, "C: -f");
  EXPECT_EQ(w.shells.calls[1].arguments, "D: -f");
  EXPECT_EQ(w.shells.calls[0].style, kStyleHidden);
  EXPECT_TRUE(w.shells.calls[0].wait);
  EXPECT_EQ(w.Report(), std::string(kHeader) +
                            "Drive C: Defrag completed successfully\r\n"
                            "Drive D: Defrag completed successfully\r\n\r\n");
  EXPECT_EQ(w.window.caption, "Defragmented");
  EXPECT_EQ(w.window.command1Caption, "Start");
  EXPECT_TRUE(w.window.command1Enabled);
  EXPECT_TRUE(w.window.command2Enabled);
  EXPECT_EQ(w.ctx.state.oShell, nullptr);
  EXPECT_EQ(w.shells.alive, 0);
  EXPECT_EQ(w.drives.enumerations, 1);  // fetched once
}

TEST(RunPassTest, NoFixedDrivesWritesHeaderAndEmptyLine) {
  World w;
  SetFixed(w, {});
  Pass(w);
  EXPECT_TRUE(w.shells.calls.empty());
  EXPECT_EQ(w.Report(), std::string(kHeader) + "\r\n");
  EXPECT_EQ(w.window.caption, "Defragmented");
}

TEST(RunPassTest, AnyFailedDriveMakesTheTitleAnError) {
  struct Case {
    std::int32_t c, d;
    const char* title;
  };
  const Case cases[] = {{0, 0, "Defragmented"},
                        {7, 0, "Defrag Error"},
                        {0, 7, "Defrag Error"},
                        {1, 0, "Defrag Error"},
                        {0, -1, "Defrag Error"}};
  for (const Case& c : cases) {
    World w;
    SetFixed(w, {"C:", "D:"});
    w.shells.exitCodes = {{"C:", c.c}, {"D:", c.d}};
    Pass(w);
    EXPECT_EQ(w.window.caption, c.title) << c.c << " " << c.d;
    // Exit codes are outcomes of drives, not failures of the pass.
    EXPECT_EQ(w.Report().find("ERROR!!"), std::string::npos);
  }
}

TEST(RunPassTest, ExclusionsMatchLettersInAnyCase) {
  struct Case {
    const char* excluded;
    const char* c;
    const char* d;
  };
  const Case cases[] = {
      {"", "completed successfully", "completed successfully"},
      {"CD", "removed by switch", "removed by switch"},
      {"c", "removed by switch", "completed successfully"},
      {"x:d,", "completed successfully", "removed by switch"},
  };
  for (const Case& c : cases) {
    World w;
    SetFixed(w, {"C:", "D:"});
    w.ctx.state.sExcludedDrives = c.excluded;
    Pass(w);
    EXPECT_EQ(w.Report(), std::string(kHeader) + "Drive C: Defrag " + c.c +
                              "\r\nDrive D: Defrag " + c.d + "\r\n\r\n")
        << c.excluded;
    EXPECT_EQ(w.window.caption, "Defragmented");
  }
}

TEST(RunPassTest, StopDuringADriveAbortsTheNextAndSkipsTheRest) {
  World w;
  SetFixed(w, {"C:", "D:", "F:", "G:"});
  w.ctx.state.sExcludedDrives = "F";  // the stop outranks the exclusion
  w.shells.exitCodes = {{"D:", 1}};
  w.shells.whileWaiting = [&](const fakes::ShellCall& call) {
    if (call.arguments == "D: -f") {
      w.ctx.state.bStopRequested = kTrue;
      w.ctx.state.oShell.reset();  // as Stop releases it
      w.window.caption = "Defragment";
      w.window.command1Caption = "Start";
    }
  };
  Pass(w);
  EXPECT_EQ(w.shells.calls.size(), 2u);
  EXPECT_EQ(w.Report(),
            std::string(kHeader) +
                "Drive C: Defrag completed successfully\r\n"
                "Drive D: Defrag aborted with error level 1 (defrag was "
                "cancelled manually) \r\n"
                "Drive F: Defrag aborted by user\r\n\r\n");
  // The stop left the window as it wanted it.
  EXPECT_EQ(w.window.caption, "Defragment");
  EXPECT_EQ(w.window.command1Caption, "Start");
  EXPECT_FALSE(w.window.command2Enabled);
  EXPECT_EQ(w.shells.alive, 0);
}

TEST(RunPassTest, StopDuringTheLastDriveAddsNoAbortLine) {
  World w;
  SetFixed(w, {"C:"});
  w.shells.whileWaiting = [&](const fakes::ShellCall&) {
    w.ctx.state.bStopRequested = kTrue;
  };
  Pass(w);
  EXPECT_EQ(w.Report(), std::string(kHeader) +
                            "Drive C: Defrag completed successfully\r\n\r\n");
  EXPECT_EQ(w.window.caption, "Defragmenting ..");
}

TEST(RunPassTest, ADefragmenterThatCannotStartGetsItsOwnLine) {
  World w;
  SetFixed(w, {"C:", "D:", "F:"});
  w.shells.exitCodes = {{"C:", 7}};
  w.shells.cannotStart = {"D:"};
  Pass(w);
  EXPECT_EQ(w.shells.calls.size(), 3u);
  EXPECT_EQ(w.Report(),
            std::string(kHeader) +
                "Drive C: Defrag aborted with error level 7 (There is not "
                "enough free space on the drive. Defrag needs 15% free space "
                "to run on a volume)\r\n"
                "Drive D: Defrag could not be started\r\n"
                "Drive F: Defrag completed successfully\r\n\r\n" + kHeader +
                "ERROR!! #-2147024894\r\n"
                "The system cannot find the file specified.\r\n\r\n");
  EXPECT_EQ(w.window.caption, "Defrag Error");
}

TEST(RunPassTest, AnUnreadableSystemDirectoryRunsNothingRelative) {
  World w;
  SetFixed(w, {"C:", "D:"});
  w.shells.whileWaiting = [&](const fakes::ShellCall&) {
    w.directories.system = "";
  };
  Pass(w);
  ASSERT_EQ(w.shells.calls.size(), 1u);
  EXPECT_EQ(w.Report(), std::string(kHeader) +
                            "Drive C: Defrag completed successfully\r\n"
                            "Drive D: Defrag could not be started\r\n\r\n" +
                            kHeader + "ERROR!! #53\r\nFile not found\r\n\r\n");
  EXPECT_EQ(w.window.caption, "Defrag Error");
}

TEST(RunPassTest, NoShellObjectMeansNoDriveIsDefragmented) {
  World w;
  SetFixed(w, {"C:", "D:"});
  w.shells.createFails = true;
  Pass(w);
  EXPECT_EQ(w.Report(),
            std::string(kHeader) +
                "Drive C: Defrag could not be started\r\n"
                "Drive D: Defrag could not be started\r\n\r\n" + kHeader +
                "ERROR!! #424\r\nObject required\r\n\r\n");
  EXPECT_EQ(w.window.caption, "Defrag Error");
}

TEST(RunPassTest, AnUnwritableReportShowsAsErrorAndTheDrivesStillRun) {
  World w;
  SetFixed(w, {"C:", "D:"});
  w.files.locked.insert(World::kReport);
  Pass(w);
  EXPECT_EQ(w.shells.calls.size(), 2u);
  EXPECT_EQ(w.window.caption, "Defrag Error");
  EXPECT_EQ(w.files.contents.count(World::kReport), 0u);
  EXPECT_FALSE(w.window.command2Enabled);
  // Once the lock is gone the next pass appends normally.
  w.files.locked.clear();
  Pass(w);
  EXPECT_EQ(w.window.caption, "Defragmented");
  EXPECT_EQ(w.Report(), std::string(kHeader) +
                            "Drive C: Defrag completed successfully\r\n"
                            "Drive D: Defrag completed successfully\r\n\r\n");
}

TEST(RunPassTest, UnlistableDrivesEndThePassThroughItsCompletion) {
  World w;
  w.drives.beforeEnumerate = [](int) {
    throw Failure(-2147024875, "The device is not ready.");
  };
  Pass(w);
  EXPECT_EQ(w.Report(), std::string(kHeader) + "\r\n" + kHeader +
                            "ERROR!! #-2147024875\r\nThe device is not "
                            "ready.\r\n\r\n");
  EXPECT_EQ(w.window.caption, "Defrag Error");
  EXPECT_EQ(w.window.command1Caption, "Start");
}

TEST(RunPassTest, AMonthChangeDuringThePassWritesToTheNewMonth) {
  World w;
  SetFixed(w, {"C:"});
  w.clock.now = {2026, 12, 31, 23, 59, 50};
  w.shells.whileWaiting = [&](const fakes::ShellCall&) {
    w.clock.now = {2027, 1, 1, 0, 10, 0};
  };
  Pass(w);
  EXPECT_EQ(w.files.contents["C:\\WINDOWS\\DefragReport012027.txt"],
            "1/1/2027 - 12:10:00 AM\r\n"
            "Drive C: Defrag completed successfully\r\n\r\n");
  EXPECT_TRUE(w.window.command2Enabled);
}

struct EndCase {
  IntBool restore, exit, minimized;
  bool stopped;
  bool failed;  // drive C: ends with exit code 5
  WindowState state;  // afterwards
  bool loaded;
  bool maximized = false;  // instead of minimized, before the end
};

void PrintTo(const EndCase& c, std::ostream* os) {
  *os << "restore " << c.restore << " exit " << c.exit << " minimized "
      << c.minimized << (c.stopped ? " stopped" : "")
      << (c.failed ? " failed" : "");
}

class RunPassEndTest : public ::testing::TestWithParam<EndCase> {};

TEST_P(RunPassEndTest, RestoresOrClosesAsTheSwitchesSay) {
  const EndCase& c = GetParam();
  World w;
  w.ctx.state.bRestoreWhenDone = c.restore;
  w.ctx.state.bExitWhenDone = c.exit;
  w.window.Load();
  if (c.minimized) w.window.SetWindowState(WindowState::kMinimized);
  if (c.maximized) w.window.SetWindowState(WindowState::kMaximized);
  if (c.stopped) {
    w.shells.whileWaiting = [&](const fakes::ShellCall&) {
      w.ctx.state.bStopRequested = kTrue;
    };
  }
  if (c.failed) w.shells.exitCodes["C:"] = 5;
  Pass(w);
  EXPECT_EQ(w.window.state, c.state);
  EXPECT_EQ(w.window.loaded, c.loaded);
  EXPECT_EQ(w.Report().empty(), false);
  if (!c.loaded) {
    EXPECT_EQ(w.ctx.state.nExitCode, c.stopped || c.failed ? 1 : 0);
  }
}

constexpr IntBool T = kTrue, F = kFalse;
INSTANTIATE_TEST_SUITE_P(
    Switches, RunPassEndTest,
    ::testing::Values(
        EndCase{F, F, T, false, false, WindowState::kMinimized, true},
        EndCase{T, F, T, false, false, WindowState::kNormal, true},
        EndCase{F, T, T, false, false, WindowState::kMinimized, false},
        EndCase{F, T, T, false, true, WindowState::kMinimized, false},
        EndCase{T, T, T, false, false, WindowState::kNormal, true},
        EndCase{F, T, F, false, false, WindowState::kNormal, true},
        EndCase{T, F, T, true, false, WindowState::kMinimized, true},
        EndCase{F, T, T, true, false, WindowState::kMinimized, false},
        // "-M" restores a minimized window only.
        EndCase{T, F, F, false, false, WindowState::kMaximized, true, true}));

}  // namespace
}  // namespace orvane
