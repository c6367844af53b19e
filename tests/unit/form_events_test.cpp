#include "ui/form_events.h"

#include <gtest/gtest.h>

#include "run/toggle_run.h"
#include "world.h"

namespace orvane {
namespace {

using fakes::World;

TEST(FormEventsTest, LoadGuardsEnablesReportCentresAndShows) {
  World w;
  w.files.contents[World::kReport] = "";
  w.window.width = 3135;
  w.window.height = 1381;
  w.window.screenWidth = 15360;
  w.window.screenHeight = 11520;
  w.window.Load();
  EXPECT_TRUE(w.window.guarded);
  EXPECT_TRUE(w.window.command2Enabled);
  EXPECT_TRUE(w.window.visible);
  EXPECT_FLOAT_EQ(w.window.left, 6112.5f);
  EXPECT_FLOAT_EQ(w.window.top, 5069.5f);  // halves kept
}

TEST(FormEventsTest, ReportStaysDisabledWithoutAnOrdinaryReport) {
  World w;
  w.files.contents[World::kReport] = "";
  w.files.hidden.insert(World::kReport);
  w.window.Load();
  EXPECT_FALSE(w.window.command2Enabled);
}

TEST(FormEventsTest, ReportClickOpensTheFileMaximizedAndWaits) {
  World w;
  w.window.Load();
  Command2Click(w.ctx);
  EXPECT_TRUE(w.shells.calls.empty());  // no report: nothing
  w.files.contents[World::kReport] = "";
  Command2Click(w.ctx);
  ASSERT_EQ(w.shells.calls.size(), 1u);
  EXPECT_EQ(w.shells.calls[0].program, World::kReport);
  EXPECT_EQ(w.shells.calls[0].arguments, "");
  EXPECT_EQ(w.shells.calls[0].style, kStyleMaximized);
  EXPECT_TRUE(w.shells.calls[0].wait);
  EXPECT_EQ(w.shells.alive, 0);
  EXPECT_EQ(w.ctx.state.oShell, nullptr);  // not the pass's shell
  EXPECT_EQ(w.window.log.back(), "Focus=txtOver");
  // The program ends with its window: a close stops the waits for the
  // viewers (a second one, and a pass inside both), not the pass's wait.
  w.shells.whileWaiting = [&](const fakes::ShellCall& call) {
    if (call.arguments == "C: -f") return w.window.Unload();
    if (w.shells.calls.size() == 2) return Command2Click(w.ctx);
    Command1Click(w.ctx);  // Start
  };
  Command2Click(w.ctx);
  EXPECT_EQ(w.shells.waitsStopped, 2);
  EXPECT_EQ(w.shells.alive, 0);
}

TEST(FormEventsTest, ClicksMoveTheFocusFirst) {
  World w;
  w.window.Load();
  w.window.log.clear();
  Command1Click(w.ctx);
  EXPECT_EQ(w.window.log.front(), "Focus=txtOver");
}

TEST(FormEventsTest, ResizeTracksMinimized) {
  World w;
  w.window.Load();
  w.window.SetWindowState(WindowState::kMinimized);
  EXPECT_EQ(w.ctx.state.bMinimized, kTrue);
  w.window.SetWindowState(WindowState::kMaximized);
  EXPECT_EQ(w.ctx.state.bMinimized, kFalse);
  w.window.SetWindowState(WindowState::kMinimized);
  w.window.SetWindowState(WindowState::kNormal);
  EXPECT_EQ(w.ctx.state.bMinimized, kFalse);
}

TEST(FormEventsTest, ClosingIdleAsksAllThreeAndEndsNothing) {
  World w;
  w.window.Load();
  w.window.Unload();
  EXPECT_EQ(w.management.queries.size(), 3u);
  EXPECT_EQ(w.ctx.state.bStopRequested, kTrue);
  EXPECT_FALSE(w.window.guarded);
}

TEST(FormEventsTest, ClosingEndsOnlyTheWatchedRunAndTheEngines) {
  World w;
  w.window.Load();
  w.management.processes = {
      {"defrag.exe", World::kWatched},
      {"defrag.exe", "\"C:\\WINDOWS\\system32\\defrag.exe\" D: -f"},
      {"DfrgFat.exe", ""},
      {"DfrgNtfs.exe", ""}};
  w.window.Unload();
  std::vector<bool> ended;
  for (const auto& p : w.management.processes) ended.push_back(p.ended);
  EXPECT_EQ(ended, (std::vector<bool>{true, false, true, true}));
}

// The process may be ended as soon as the end of the session is answered,
// so the record is on file by then, from inside the pass's wait; the pass,
// should it get back, writes nothing more. There Windows' management service
// may refuse or hold every call, and none is made; the engines are ended
// first, so a tool that they took with them keeps its own exit code.
TEST(FormEventsTest, SessionEndWritesThePassRecordBeforeItAnswers) {
  const std::string header = "12/7/2026 - 6:46:13 AM\r\n";
  const struct {
    const char* endDuring;
    bool serviceRefuses;
    bool faults;  // C: cannot start, and no run can be ended
    std::string report;
  } cases[] = {
      {"C:", true, false,
       header + "Drive C: Defrag aborted with error level 1 (defrag was "
                "cancelled manually) \r\nDrive D: Defrag aborted by user\r\n\r\n"},
      {"D:", false, false,
       header + "Drive C: Defrag completed successfully\r\n"
                "Drive D: Defrag aborted with error level 5 (general error)\r\n"
                "Drive F: Defrag aborted by user\r\n\r\n"},
      {"F:", true, true,
       header + "Drive C: Defrag could not be started\r\n"
                "Drive D: Defrag completed successfully\r\n"
                "Drive F: Defrag aborted by user\r\n"
                "Drive G: Defrag aborted by user\r\n\r\n" +
           header + "ERROR!! #-2147024891\r\nAccess is denied.\r\n\r\n"},
  };
  for (const auto& c : cases) {
    World w;
    w.drives.drives = {{"C:", kDriveFixed}, {"D:", kDriveFixed},
                       {"F:", kDriveFixed}, {"G:", kDriveFixed}};
    w.window.Load();
    w.shells.runOn = {"C:", "D:", "F:"};
    if (c.faults) w.shells.cannotStart = {"C:"};
    w.shells.endFails = c.faults;
    std::string answered;
    int endedBeforeTheWait = 0;  // engines
    w.shells.whileWaiting = [&](const fakes::ShellCall& call) {
      if (call.arguments.rfind(c.endDuring, 0) != 0) return;
      w.management.unavailable = c.serviceRefuses;
      // D:'s tool, still running, ends with 5 once its engine has gone.
      const auto count = [&] { endedBeforeTheWait += w.shells.awaited.empty(); };
      w.management.processes = {{"DfrgNtfs.exe", "", false, false, [&] {
        count();
        if (w.shells.runOn.erase("D:")) w.shells.exitCodes["D:"] = 5;
      }}, {"DfrgFat.exe", "", false, false, count}};
      const std::size_t asked = w.management.queries.size();
      FormEndSession(w.ctx, true);
      answered = w.Report();
      EXPECT_EQ(w.management.queries.size(), asked) << c.endDuring;
    };
    ToggleRun(w.ctx);
    EXPECT_EQ(answered, c.report) << c.endDuring;
    EXPECT_EQ(w.Report(), answered) << c.endDuring;
    EXPECT_EQ(endedBeforeTheWait, 2) << c.endDuring;
    EXPECT_FALSE(w.window.loaded);
    ASSERT_EQ(w.shells.awaited.size(), 1u);
    EXPECT_LE(w.shells.awaited[0], 5000);  // within what Windows allows
  }
  // Without a pass the session end only closes the window.
  World idle;
  idle.window.Load();
  FormEndSession(idle.ctx, true);
  EXPECT_FALSE(idle.window.loaded);
  EXPECT_EQ(idle.files.appends, 0);
}

// The query comes during C:, which the session's end ends; D: waits in the
// hold, and each of its exits lets the pass end or go on.
TEST(FormEventsTest, NoDriveStartsBetweenTheQueryAndTheEndOfTheSession) {
  using W = World&;
  const struct {
    const char* exit;
    void (*message)(W);  // what the hold handles; none: the limit passes
    const char* lineD;
    bool loaded;  // afterwards
  } cases[] = {
      {"end", [](W w) { FormEndSession(w.ctx, true); }, "aborted by user", false},
      {"cancelled end", [](W w) { FormEndSession(w.ctx, false); }, "completed", true},
      {"Stop", [](W w) { Command1Click(w.ctx); }, "aborted by user", true},
      {"close", [](W w) { w.window.Unload(); }, "aborted by user", false},
      {"limit", [](W) {}, "completed", true},
  };
  for (const auto& c : cases) {
    World w;
    w.drives.drives = {{"C:", kDriveFixed}, {"D:", kDriveFixed}};
    w.shells.exitCodes["C:"] = static_cast<std::int32_t>(0xC000013A);
    bool mayEnd = false;
    w.shells.whileWaiting = [&](const fakes::ShellCall&) {
      if (w.shells.calls.size() == 1) mayEnd = FormQueryEndSession(w.ctx);
    };
    w.messages.onMessage = [&] { c.message(w); };
    w.window.Load();
    ToggleRun(w.ctx);
    EXPECT_TRUE(mayEnd) << c.exit;
    EXPECT_FALSE(w.ctx.state.sessionMayEnd) << c.exit;  // held until the end
    // Each exit ends it at once; only the limit's round never comes.
    EXPECT_EQ(w.messages.handled, std::string(c.exit) == "limit" ? 100 : 1) << c.exit;
    const std::string lineD = std::string("Drive D: Defrag ") + c.lineD;
    EXPECT_NE(w.Report().find(": -1073741510\r\n" + lineD), std::string::npos)
        << c.exit;
    EXPECT_EQ(w.window.loaded, c.loaded) << c.exit;
  }
  // A query while no pass ran, with nothing after it, holds no later pass.
  World idle;
  idle.drives.drives = {{"C:", kDriveFixed}, {"D:", kDriveFixed}};
  idle.window.Load();
  EXPECT_TRUE(FormQueryEndSession(idle.ctx));
  ToggleRun(idle.ctx);
  EXPECT_EQ(idle.messages.handled, 0);
  EXPECT_NE(idle.Report().find("Drive D: Defrag completed"), std::string::npos);
}

// On XP a run as SYSTEM is told of the console user's logoff, which ends
// nothing of it; its shutdown, or an administrator's own logoff, stops it.
TEST(FormEventsTest, OnlyALogoffThatIsNotOursLeavesThePassRunning) {
  for (const auto& [system, logoff] :
       {std::pair(true, true), {true, false}, {false, true}}) {
    World w;
    w.account.system = system;
    w.drives.drives = {{"C:", kDriveFixed}, {"D:", kDriveFixed}};
    w.shells.whileWaiting = [&](const fakes::ShellCall& call) {
      if (call.arguments != "C: -f") return;
      EXPECT_TRUE(FormQueryEndSession(w.ctx, logoff));
      FormEndSession(w.ctx, true, logoff);
    };
    w.window.Load();
    ToggleRun(w.ctx);
    const bool goesOn = system && logoff;
    EXPECT_NE(w.Report().find(goesOn ? "Drive D: Defrag completed"
                                     : "Drive D: Defrag aborted by user"),
              std::string::npos) << system << logoff;
    EXPECT_EQ(w.window.loaded, goesOn);
  }
}

TEST(FormEventsTest, TerminateNeverLoadsTheWindowAgain) {
  World w;
  FormTerminate(w.ctx);
  EXPECT_EQ(w.window.loads, 0);
  w.window.Load();
  FormTerminate(w.ctx);
  EXPECT_FALSE(w.window.loaded);
  EXPECT_EQ(w.window.loads, 1);
}

}  // namespace
}  // namespace orvane
