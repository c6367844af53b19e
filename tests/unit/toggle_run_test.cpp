#include "run/toggle_run.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "ui/form_events.h"
#include "world.h"

namespace orvane {
namespace {

using fakes::FakeManagement;
using fakes::World;

// C: ended through its handle, D: never started.
const char kStoppedDuringC[] = "Drive C: Defrag aborted with error level 1 (defrag was "
                               "cancelled manually) \r\nDrive D: Defrag aborted by user\r\n\r\n";

// Start takes no click while it asks whether a defragmenter is busy, offers
// Stop and not Report while the pass runs, and Start and the report after.
TEST(ToggleRunTest, StartRunsAPassBetweenTheControllerSteps) {
  World w;
  w.files.contents[World::kReport] = "last run\r\n";
  w.window.Load();
  int queriesWithAButtonEnabled = 0;
  w.management.onQuery = [&] {
    if (w.window.command1Enabled || w.window.command2Enabled) ++queriesWithAButtonEnabled;
  };
  struct {
    std::string caption, command1;
    bool command1Enabled = false, command2Enabled = true;
  } running;
  w.shells.whileWaiting = [&](const fakes::ShellCall&) {
    running = {w.window.caption, w.window.command1Caption, w.window.command1Enabled,
               w.window.command2Enabled};
  };
  ToggleRun(w.ctx);
  EXPECT_EQ(w.management.queries.size(), 3u);
  EXPECT_EQ(queriesWithAButtonEnabled, 0);
  EXPECT_EQ(running.caption, "Defragmenting ..");
  EXPECT_EQ(running.command1, "Stop");
  EXPECT_TRUE(running.command1Enabled);
  EXPECT_FALSE(running.command2Enabled);
  EXPECT_EQ(w.window.caption, "Defragmented");
  EXPECT_EQ(w.window.command1Caption, "Start");
  EXPECT_TRUE(w.window.command1Enabled);
  EXPECT_TRUE(w.window.command2Enabled);
  EXPECT_EQ(w.shells.calls.size(), 1u);
  // A report that cannot be probed after the pass: the click probes again.
  w.files.probeFails = true;
  ToggleRun(w.ctx);
  EXPECT_TRUE(w.window.command2Enabled);
}

TEST(ToggleRunTest, ABusyMachineRefusesSilently) {
  const std::vector<FakeManagement::Process> busy[] = {
      {{"defrag.exe", World::kWatched}},
      {{"DfrgNtfs.exe", ""}},
      {{"DfrgFat.exe", ""}},
  };
  for (const auto& processes : busy) {
    World w;
    w.files.contents[World::kReport] = "old";
    w.window.Load();
    w.management.processes = processes;
    ToggleRun(w.ctx);
    EXPECT_TRUE(w.shells.calls.empty());
    EXPECT_TRUE(w.window.command1Enabled);
    EXPECT_FALSE(w.window.command2Enabled);
    EXPECT_EQ(w.window.caption, "Defragment");
    EXPECT_EQ(w.window.command1Caption, "Start");
    EXPECT_EQ(w.management.queries.size(), 3u);
    EXPECT_TRUE(w.dialogs.shown.empty());
  }
}

TEST(ToggleRunTest, ADefragmenterForAnotherDriveIsNotBusy) {
  World w;
  w.window.Load();
  w.management.processes = {
      {"defrag.exe", "\"C:\\WINDOWS\\system32\\defrag.exe\" D: -f"}};
  ToggleRun(w.ctx);
  EXPECT_EQ(w.shells.calls.size(), 1u);
}

// Stop pressed while drive `stopAt` is defragmented: the controller runs
// nested inside the waiting pass.
void StopWhile(World& w, const std::string& stopAt) {
  w.shells.whileWaiting = [&w, stopAt](const fakes::ShellCall& call) {
    if (call.arguments.rfind(stopAt, 0) == 0) Command1Click(w.ctx);
  };
}

TEST(ToggleRunTest, StopEndsTheWatchedRunAndTheEnginesAndGoesIdle) {
  World w;
  w.drives.drives = {{"C:", kDriveFixed}, {"D:", kDriveFixed}};
  w.window.Load();
  w.window.SetWindowState(WindowState::kMinimized);
  w.shells.whileWaiting = [&](const fakes::ShellCall& call) {
    if (call.arguments != "C: -f") return;
    w.management.processes = {{"defrag.exe", World::kWatched},
                              {"DfrgNtfs.exe", ""}};
    w.shells.exitCodes["C:"] = 1;  // what the ended tool answers
    Command1Click(w.ctx);
  };
  ToggleRun(w.ctx);
  EXPECT_TRUE(w.management.processes[0].ended);
  EXPECT_TRUE(w.management.processes[1].ended);
  EXPECT_EQ(w.ctx.state.bStopRequested, kTrue);
  EXPECT_EQ(w.window.state, WindowState::kNormal);
  EXPECT_EQ(w.window.caption, "Defragment");
  EXPECT_EQ(w.window.command1Caption, "Start");
  EXPECT_TRUE(w.window.command1Enabled);
  EXPECT_TRUE(w.window.enabled);
  // The report did not exist yet when Stop looked; the stopped pass has
  // written it since.
  EXPECT_TRUE(w.window.command2Enabled);
  EXPECT_EQ(w.shells.calls.size(), 1u);
  EXPECT_NE(w.Report().find(kStoppedDuringC), std::string::npos);
  EXPECT_EQ(w.shells.alive, 0);
}

// The service lets messages through while Stop ends the defragmenters: the
// window takes no click meanwhile. Report comes back only for a report of
// this month that exists.
TEST(ToggleRunTest, StopTakesNoClicksWhileEndingAndOffersOnlyAnExistingReport) {
  for (const bool reportExists : {false, true}) {
    World w;
    w.drives.drives = {{"C:", kDriveFixed}, {"D:", kDriveFixed}};
    if (reportExists) w.files.contents[World::kReport] = "last run\r\n";
    w.window.Load();
    bool enabledWhileEnding = true, reportAfterStop = !reportExists;
    w.shells.runOn = {"D:"};
    w.shells.whileWaiting = [&](const fakes::ShellCall& call) {
      if (call.arguments != "D: -f") return;
      // D:'s tool ends with its own code once its engine has gone: the
      // engines go before the run that Stop ends through its handle.
      w.management.processes = {{"DfrgNtfs.exe", "", false, false, [&] {
        if (w.shells.runOn.erase("D:")) w.shells.exitCodes["D:"] = 5;
      }}};
      w.management.onQuery = [&] { enabledWhileEnding &= w.window.enabled; };
      ToggleRun(w.ctx);
      w.management.onQuery = nullptr;
      reportAfterStop = w.window.command2Enabled;
      EXPECT_TRUE(w.window.enabled);
      EXPECT_EQ(w.ctx.state.oShell, nullptr);
    };
    ToggleRun(w.ctx);
    EXPECT_FALSE(enabledWhileEnding) << "report exists: " << reportExists;
    EXPECT_EQ(reportAfterStop, reportExists);
    EXPECT_NE(w.Report().find("Drive D: Defrag aborted with error level 5"),
              std::string::npos);
  }
}

TEST(ToggleRunTest, AStartInsideAStoppedPassIsRefused) {
  World w;
  w.drives.drives = {{"C:", kDriveFixed}, {"D:", kDriveFixed}};
  w.window.Load();
  int starts = 0;
  w.shells.whileWaiting = [&](const fakes::ShellCall& call) {
    if (call.arguments != "C: -f" || starts++ > 0) return;
    Command1Click(w.ctx);  // Stop
    Command1Click(w.ctx);  // Start again before the tool has ended
  };
  ToggleRun(w.ctx);
  EXPECT_EQ(w.shells.calls.size(), 1u);
  EXPECT_EQ(w.ctx.state.bStopRequested, kTrue);
  EXPECT_EQ(w.events.written.size(), 1u);  // the stop's; our pass is no 103
  // The refused Start disabled Report; the stopped pass, returning with its
  // record written, offers it again.
  EXPECT_TRUE(w.window.command2Enabled);
  EXPECT_NE(w.Report().find("Drive D: Defrag aborted by user"),
            std::string::npos);
  // Once the stopped pass has returned, a Start works again.
  w.shells.whileWaiting = nullptr;
  Command1Click(w.ctx);
  EXPECT_EQ(w.shells.calls.size(), 3u);
  EXPECT_EQ(w.window.caption, "Defragmented");
}

TEST(ToggleRunTest, StopWithTheServiceUnavailableStillGoesIdle) {
  World w;
  w.window.Load();
  w.management.unavailable = true;
  w.management.processes = {{"DfrgNtfs.exe", ""}};
  w.shells.runOn = {"C:"};  // the service cannot find it; its handle can
  StopWhile(w, "C:");
  ToggleRun(w.ctx);
  EXPECT_FALSE(w.management.processes[0].ended);
  EXPECT_NE(w.Report().find("Drive C: Defrag aborted with error level 1 "),
            std::string::npos);
  EXPECT_EQ(w.window.caption, "Defragment");
  EXPECT_EQ(w.window.command1Caption, "Start");
  EXPECT_TRUE(w.window.enabled);
}

TEST(ToggleRunTest, ClosingDuringARunWritesTheRecordAndTouchesNothingAfter) {
  World w;
  w.drives.drives = {{"C:", kDriveFixed}, {"D:", kDriveFixed},
                     {"F:", kDriveFixed}};
  w.window.Load();
  std::size_t atClose = 0;
  w.shells.runOn = {"C:"};  // ended by the close, through its handle
  w.shells.whileWaiting = [&](const fakes::ShellCall& call) {
    if (call.arguments != "C: -f") return;
    w.management.processes = {{"DfrgNtfs.exe", ""}};
    w.window.Unload();
    atClose = w.window.log.size();
  };
  ToggleRun(w.ctx);
  EXPECT_TRUE(w.management.processes[0].ended);
  EXPECT_EQ(w.window.log.size(), atClose);
  EXPECT_FALSE(w.window.loaded);
  EXPECT_NE(w.Report().find(kStoppedDuringC), std::string::npos);
  EXPECT_EQ(w.shells.alive, 0);
}

// One event per Start, of its outcome's type, carrying the record and any
// trailer exactly as appended (where the report is locked, as they would
// have been); the session's end writes it before it returns.
TEST(ToggleRunTest, EachStartWritesOneEventOfItsOutcome) {
  using W = World&;
  const auto none = [](W) {};
  const auto kInfo = EventType::kInformation, kError = EventType::kError,
             kWarning = EventType::kWarning;
  const std::uint32_t kDone = 100, kFail = 101, kStop = 102, kRefused = 103;
  const struct {
    const char* name;
    void (*arrange)(W);
    void (*duringC)(W);
    EventType type;
    std::uint32_t id;
    bool trailer = false;  // the pass met an error of its own
    bool writtenDuringC = false;  // before duringC returned
    int pauseMs = 0;  // the report's one retry at the session's end; none elsewhere
  } cases[] = {
      {"succeeded", none, none, kInfo, kDone},
      {"failed drive", [](W w) { w.shells.exitCodes["D:"] = 7; }, none, kError, kFail},
      {"not started", [](W w) { w.shells.cannotStart.insert("C:"); }, none, kError, kFail, true},
      {"report locked", [](W w) { w.files.locked.insert(World::kReport); }, none, kError, kFail, true},
      {"busy", [](W w) { w.management.processes = {{"DfrgNtfs.exe", ""}}; }, none, kWarning, kRefused},
      {"stopped", none, [](W w) { ToggleRun(w.ctx); }, kWarning, kStop},
      {"closed", none, [](W w) { w.window.Unload(); }, kWarning, kStop},
      {"session end", none, [](W w) { FormEndSession(w.ctx, true); }, kWarning, kStop, false,
       true},
      {"session end, C: not ended", [](W w) { w.shells.runOn = {"C:"}; w.shells.endFails = true; },
       [](W w) { FormEndSession(w.ctx, true); }, kWarning, kStop, true, true},
      // The event before the file, which gets one short retry.
      {"session end, report locked", [](W w) { w.files.locked.insert(World::kReport); },
       [](W w) { FormEndSession(w.ctx, true); }, kWarning, kStop, false, true, 500},
  };
  for (const auto& c : cases) {
    World w;
    w.drives.drives = {{"C:", kDriveFixed}, {"D:", kDriveFixed}};
    w.window.Load();
    c.arrange(w);
    std::size_t writtenAfterC = 0;
    w.shells.whileWaiting = [&](const fakes::ShellCall& call) {
      if (call.arguments != "C: -f") return;
      c.duringC(w);
      writtenAfterC = w.events.written.size();
    };
    ToggleRun(w.ctx);
    if (c.writtenDuringC) EXPECT_EQ(writtenAfterC, 1u) << c.name;
    EXPECT_EQ(w.messages.pauses,
              c.pauseMs ? std::vector<int>{c.pauseMs} : std::vector<int>{})
        << c.name;
    ASSERT_EQ(w.events.written.size(), 1u) << c.name;
    const fakes::FakeEventLog::Event& e = w.events.written[0];
    EXPECT_EQ(std::pair(e.type, e.id), std::pair(c.type, c.id)) << c.name;
    if (c.id == kRefused) {
      EXPECT_EQ(e.inserts, std::vector<std::string>{World::kWatched});
      continue;
    }
    ASSERT_EQ(e.inserts.size(), 2u) << c.name;
    EXPECT_EQ(e.inserts[0].rfind("12/7/2026 - 6:46:13 AM\r\nDrive C: ", 0), 0u);
    EXPECT_EQ(e.inserts[1].find("\r\nERROR!! #") != std::string::npos,
              c.trailer) << c.name;
    if (w.files.locked.empty()) {
      EXPECT_EQ(w.Report(), e.inserts[0] + e.inserts[1]) << c.name;
    }
  }
}

}  // namespace
}  // namespace orvane
