#include "app/startup.h"

#include "app/arguments.h"
#include "core/program_title.h"
#include "core/system_locations.h"
#include "platform/message_dialog.h"
#include "platform/steps.h"
#include "run/toggle_run.h"

namespace orvane {
namespace {

const char kLineBreak[] = "\r\n";

// Whether the switches ask for an unattended run ("-S"), read apart from the
// shared state: a start that gives way never takes its switches.
bool AsksForUnattendedRun(const std::string& argumentText) {
  SharedState switches;
  Steps steps;
  steps([&] { ReadSwitches(argumentText, switches); });
  return switches.bAutoStart != kFalse;
}

}  // namespace

void Main(Context& ctx) {
  SharedState& s = ctx.state;
  const Services& svc = ctx.services;

  switch (svc.previousInstance.Find()) {
    case OtherInstance::kNone:
      break;
    case OtherInstance::kOurs:
      // A second start by hand ends silently. A scheduled one that did
      // nothing must not read as success.
      if (AsksForUnattendedRun(ctx.argumentText)) {
        svc.events.Write(EventType::kWarning, kEventUnattendedStartGaveWay,
                         {});
        s.nExitCode = 1;
      }
      return;
    case OtherInstance::kForeign:
      // Anyone may make the claim; giving way to it would let them silence
      // every scheduled run.
      svc.events.Write(EventType::kError, kEventInstanceClaimForeign, {});
      s.nExitCode = 1;
      return;
  }

  // Only a warning: an administrator's set-up keeps working, and the
  // fleet's collection of events shows the risk.
  const std::string exposed = svc.directories.ExposedProgramPaths();
  if (!exposed.empty()) {
    svc.events.Write(EventType::kWarning, kEventProgramFolderExposed,
                     {exposed});
  }

  Steps steps;
  // An unknown system directory counts as a missing defragmenter: the
  // program never runs one from the current drive's root.
  bool present = false;
  steps([&] {
    const std::string path = DefragmenterPath(svc);
    present = !path.empty() && svc.files.IsOrdinaryFile(path);
  });
  if (!present) {
    svc.dialogs.Show(kEventDefragmenterNotFound,
                     std::string("Defrag File Not Found") + kLineBreak +
                         SystemDir(svc) + "\\defrag.exe" + kLineBreak +
                         "Program will close now",
                     kStyleCritical, kProgramTitle);
    // The program ends because of a failure; a scheduler must not read
    // that as success.
    s.nExitCode = 1;
    return;
  }
  steps.Clear();

  s.bStopRequested = kFalse;
  s.bExitWhenDone = kFalse;
  s.sExcludedDrives.clear();
  steps([&] { s.sWatchedCommandLine = WatchedCommandLine(svc); });
  steps([&] { ReadSwitches(ctx.argumentText, s); });

  MainWindow& window = *s.oMainForm;
  if (s.bAutoStart != kFalse) {
    s.bMinimized = kTrue;
    steps([&] { window.SetWindowState(WindowState::kMinimized); });
    steps([&] { window.Load(); });
    steps([&] { ToggleRun(ctx); });
  } else {
    s.bMinimized = kFalse;
    steps([&] { window.SetWindowState(WindowState::kNormal); });
    steps([&] { window.Load(); });
  }

  if (steps.recorded().IsSet()) {
    svc.dialogs.Show(kEventErrorLoadingProgram,
                     std::string("Error Loading Program") + kLineBreak +
                         steps.recorded().description,
                     kStyleCritical, kProgramTitle);
    // Without a window the program ends here, because of the failure.
    if (!window.IsLoaded()) s.nExitCode = 1;
  }
}

}  // namespace orvane
