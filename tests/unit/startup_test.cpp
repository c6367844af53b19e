#include "app/startup.h"

#include <gtest/gtest.h>

#include <tuple>

#include "ui/form_events.h"
#include "world.h"

namespace orvane {
namespace {

using fakes::World;

TEST(StartupTest, AnotherInstanceEndsTheStartOnlyAScheduledOneSaysSo) {
  const auto kOurs = OtherInstance::kOurs, kForeign = OtherInstance::kForeign;
  const std::pair<EventType, std::uint32_t> gaveWay{EventType::kWarning,
                                                     kEventUnattendedStartGaveWay},
      foreign{EventType::kError, kEventInstanceClaimForeign};
  const struct {
    OtherInstance found;
    const char* arguments;
    int exitCode;
    std::vector<std::pair<EventType, std::uint32_t>> events;
  } cases[] = {{kOurs, "", 0, {}}, {kOurs, "-S -E", 1, {gaveWay}},
               {kForeign, "", 1, {foreign}}, {kForeign, "-s", 1, {foreign}}};
  for (const auto& c : cases) {
    World w;
    w.previous.found = c.found;
    w.ctx.argumentText = c.arguments;
    w.directories.exposedPaths = "C:\\Tools";
    // Gives way before it looks for the defragmenter: no not-found message.
    w.files.contents.clear();
    Main(w.ctx);
    EXPECT_TRUE(w.dialogs.shown.empty()) << c.arguments;
    EXPECT_EQ(w.ctx.state.nExitCode, c.exitCode) << c.arguments;
    EXPECT_FALSE(w.window.loaded);
    EXPECT_EQ(w.ctx.state.bAutoStart, kFalse);
    EXPECT_TRUE(w.management.queries.empty());
    std::vector<std::pair<EventType, std::uint32_t>> events;
    for (const auto& e : w.events.written) events.emplace_back(e.type, e.id);
    EXPECT_EQ(events, c.events) << c.arguments;
  }
}

TEST(StartupTest, AnExposedProgramFolderIsWarnedOfAndTheRunGoesOn) {
  World w;
  w.directories.exposedPaths = "C:\\Tools";
  w.ctx.argumentText = "-S";
  Main(w.ctx);
  ASSERT_FALSE(w.events.written.empty());
  const auto& e = w.events.written[0];
  EXPECT_EQ(std::tie(e.type, e.id, e.inserts),
            std::make_tuple(EventType::kWarning, kEventProgramFolderExposed,
                            std::vector<std::string>{"C:\\Tools"}));
  EXPECT_TRUE(w.window.loaded);
  EXPECT_FALSE(w.shells.calls.empty());
}

TEST(StartupTest, AMissingDefragmenterEndsTheProgramWithAMessage) {
  const char* const notFound =
      "Defrag File Not Found\r\nC:\\WINDOWS\\system32\\defrag.exe\r\nProgram will close now";
  const struct {
    const char* name;
    void (*arrange)(World&);
    const char* text;
  } cases[] = {
      {"missing", [](World& w) { w.files.contents.clear(); }, notFound},
      {"hidden", [](World& w) { w.files.hidden.insert(World::kDefrag); }, notFound},
      {"search fails", [](World& w) { w.files.probeFails = true; }, notFound},
      {"no system directory",
       [](World& w) {
         w.directories.system = "";
         w.files.contents["\\defrag.exe"] = "MZ";  // never run from a root
       },
       "Defrag File Not Found\r\n\\defrag.exe\r\nProgram will close now"},
  };
  for (const auto& c : cases) {
    World w;
    c.arrange(w);
    w.directories.exposedPaths = "C:\\Tools";  // warned of all the same
    w.ctx.argumentText = "-S";
    Main(w.ctx);
    ASSERT_EQ(w.events.written.size(), 1u) << c.name;
    EXPECT_EQ(w.events.written[0].id, kEventProgramFolderExposed) << c.name;
    ASSERT_EQ(w.dialogs.shown.size(), 1u) << c.name;
    const auto& d = w.dialogs.shown[0];  // event 200 as published
    EXPECT_EQ(std::tie(d.text, d.style, d.title, d.eventId),
              std::make_tuple(c.text, 16, "Orvane", 200u)) << c.name;
    EXPECT_FALSE(w.window.loaded) << c.name;
    EXPECT_EQ(w.ctx.state.bAutoStart, kFalse) << c.name;
    EXPECT_TRUE(w.shells.calls.empty());
    EXPECT_EQ(w.ctx.state.nExitCode, 1) << c.name;  // a failure, not success
  }
}

TEST(StartupTest, WithoutSwitchesTheWindowOpensIdle) {
  for (const char* arguments : {"", "   ", "-x"}) {
    World w;
    w.ctx.argumentText = arguments;
    Main(w.ctx);
    EXPECT_TRUE(w.window.loaded);
    EXPECT_TRUE(w.window.visible);
    EXPECT_EQ(w.window.loads, 1);
    EXPECT_EQ(w.window.state, WindowState::kNormal);
    EXPECT_EQ(w.ctx.state.bMinimized, kFalse);
    EXPECT_TRUE(w.shells.calls.empty());
    EXPECT_TRUE(w.dialogs.shown.empty());
    EXPECT_EQ(w.ctx.state.sWatchedCommandLine, World::kWatched);
  }
}

TEST(StartupTest, WatchedCommandLineAlwaysNamesDriveC) {
  World w;
  w.ctx.state.sWatchedCommandLine.clear();
  w.directories.system = "D:\\WINNT\\system32";
  w.files.contents["D:\\WINNT\\system32\\defrag.exe"] = "MZ";
  w.drives.drives = {{"D:", kDriveFixed}};
  Main(w.ctx);
  EXPECT_EQ(w.ctx.state.sWatchedCommandLine,
            "\"D:\\WINNT\\system32\\defrag.exe\" C: -f");
}

TEST(StartupTest, AutoStartRunsMinimizedAndExitsWhenDone) {
  World w;
  w.ctx.argumentText = "-s -e /r:a";
  w.drives.drives = {{"C:", kDriveFixed}, {"D:", kDriveFixed}};
  Main(w.ctx);
  EXPECT_EQ(w.shells.calls.size(), 2u);
  EXPECT_FALSE(w.window.loaded);  // -E closed it
  EXPECT_EQ(w.window.loads, 1);
  EXPECT_EQ(w.ctx.state.nExitCode, 0);
  EXPECT_TRUE(w.dialogs.shown.empty());
  // The window was shown normal and centred before it was minimized.
  EXPECT_EQ(std::vector<std::string>(w.window.log.begin(), w.window.log.begin() + 4),
            (std::vector<std::string>{"Load", "Guard=on", "Show", "State=1"}));
}

TEST(StartupTest, AutoStartRestoresWhenAskedAndStays) {
  World w;
  w.ctx.argumentText = "-S -M -E";
  w.shells.exitCodes["C:"] = 5;
  Main(w.ctx);
  EXPECT_TRUE(w.window.loaded);
  EXPECT_EQ(w.window.state, WindowState::kNormal);
  EXPECT_EQ(w.window.caption, "Defrag Error");
}

TEST(StartupTest, AutoStartOnABusyMachineStaysMinimizedAndIdle) {
  World w;
  w.ctx.argumentText = "-S -E";
  w.management.processes = {{"DfrgNtfs.exe", ""}};
  Main(w.ctx);
  EXPECT_TRUE(w.shells.calls.empty());
  EXPECT_TRUE(w.window.loaded);
  EXPECT_EQ(w.window.state, WindowState::kMinimized);
  EXPECT_EQ(w.ctx.state.bMinimized, kTrue);
  EXPECT_EQ(w.window.command1Caption, "Start");
  EXPECT_TRUE(w.dialogs.shown.empty());
}

// The service's calls let messages sent by other programs through: a close
// or the end of the session during the busy test leaves its stop request,
// nothing runs or touches the window after it, and "-E" reports a stop.
TEST(StartupTest, AutoStartClosedDuringTheBusyTestRunsNothing) {
  for (const bool sessionEnd : {false, true}) {
    World w;
    w.ctx.argumentText = "-S -E";
    w.management.onQuery = [&] {
      w.management.onQuery = nullptr;
      sessionEnd ? FormEndSession(w.ctx, true) : w.window.Unload();
    };
    Main(w.ctx);
    EXPECT_TRUE(w.shells.calls.empty()) << sessionEnd;
    EXPECT_EQ(w.ctx.state.bStopRequested, kTrue);
    EXPECT_EQ(w.window.log.back(), "Guard=off");
    EXPECT_EQ(w.ctx.state.nExitCode, 1);
  }
}

// A window whose state cannot be set, and optionally that cannot be loaded,
// for the error message at the end of start-up.
class FailingWindow : public fakes::FakeWindow {
 public:
  using FakeWindow::FakeWindow;
  bool loadFails = false;
  void SetWindowState(WindowState) override {
    throw Failure(-2147024888, "Not enough memory resources are available.");
  }
  void Load() override {
    if (loadFails)
      throw Failure(-2147024888, "Not enough memory resources are available.");
    FakeWindow::Load();
  }
};

TEST(StartupTest, AFailureAfterThePresenceCheckIsShownAtTheEnd) {
  for (const bool loadFails : {false, true}) {
    World w;
    FailingWindow window(w.ctx);
    window.loadFails = loadFails;
    w.ctx.state.oMainForm = &window;
    Main(w.ctx);
    ASSERT_EQ(w.dialogs.shown.size(), 1u);
    const auto& d = w.dialogs.shown[0];
    EXPECT_EQ(std::tie(d.text, d.style, d.title, d.eventId),
              std::make_tuple("Error Loading Program\r\nNot enough memory "
                              "resources are available.", 16, "Orvane", 201u));
    // The Load step after it still ran; a program that ends for want of a
    // window ends with 1, one that goes on will end as its user says.
    EXPECT_EQ(window.loaded, !loadFails);
    EXPECT_EQ(w.ctx.state.nExitCode, loadFails ? 1 : 0);
  }
  EXPECT_EQ((std::pair{kEventHandlerFailure, kEventUnexpectedFailure}),
            (std::pair{202u, 203u}));  // the window's, the entry point's
}

}  // namespace
}  // namespace orvane
