#pragma once
// A whole program on fakes: services, context and window, wired as the
// entry point wires the real ones. Starts with a defragmenter present and
// drive C: fixed.

#include "core/context.h"
#include "fake_services.h"
#include "fake_window.h"

namespace orvane::fakes {

struct World {
  FakeDirectories directories;
  FakeFiles files;
  FakeDrives drives;
  FakeShellFactory shells;
  FakeManagement management;
  FakeClock clock;
  FakeDialogs dialogs;
  FakePreviousInstance previous;
  FakeEventLog events;
  FakeMessageWait messages;
  FakeAccount account;
  Context ctx{Services{directories, files, files, drives, shells, management,
                       management, clock, dialogs, previous, events, messages, account},
              SharedState{}, ""};
  FakeWindow window{ctx};

  static constexpr const char* kDefrag = "C:\\WINDOWS\\system32\\defrag.exe";
  static constexpr const char* kReport = "C:\\WINDOWS\\DefragReport122026.txt";
  static constexpr const char* kWatched =
      "\"C:\\WINDOWS\\system32\\defrag.exe\" C: -f";

  World() {
    ctx.state.oMainForm = &window;
    ctx.state.sWatchedCommandLine = kWatched;
    files.contents[kDefrag] = "MZ";
    drives.drives = {{"A:", kDriveRemovable}, {"C:", kDriveFixed}};
  }

  const std::string& Report() { return files.contents[kReport]; }
};

}  // namespace orvane::fakes
