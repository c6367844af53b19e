#include "run/toggle_run.h"

#include "process/process_queries.h"
#include "report/report_file.h"
#include "run/pass_record.h"
#include "run/run_pass.h"

namespace orvane {
namespace {

void Start(Context& ctx, MainWindow& window) {
  SharedState& s = ctx.state;
  // A query answered while no pass ran, with nothing after it: the session
  // went on, and this pass must not hold for it. One that comes from here on
  // holds the pass as ever.
  s.sessionMayEnd = false;
  const bool loaded = window.IsLoaded();
  const bool busy =
      IsDefragmenterBusy(ctx.services.management, s.sWatchedCommandLine);
  // The service's calls let messages sent by other programs through: a
  // close or the end of the session may have unloaded the window meanwhile.
  // Its stop request stands, and no pass runs behind the closed window; a
  // run that "-E" would have ended counts as stopped, as the pass counts it.
  if (loaded && !window.IsLoaded()) {
    if (s.bExitWhenDone != kFalse && s.bMinimized != kFalse) s.nExitCode = 1;
    return;
  }
  // A stopped pass may still wait for its defragmenter: a pass started now
  // would run inside it, and the stopped one would resume after it.
  if (busy || s.pActivePass) {
    // Refused silently; Report stays disabled until a later Stop or the
    // end of a pass (a stopped pass enables it when it returns). The log
    // tells an unattended run that did nothing from one that never ran;
    // our own stopped pass, still unwinding, is no other defragmenter.
    if (!s.pActivePass) {
      ctx.services.events.Write(EventType::kWarning, kEventStartRefused,
                                {s.sWatchedCommandLine});
    }
    window.SetCommand1Enabled(true);
    return;
  }
  s.bStopRequested = kFalse;
  window.SetCaption("Defragmenting ..");
  window.SetCommand1Caption("Stop");
  RunPass(ctx);
}

void Stop(Context& ctx, MainWindow& window) {
  SharedState& s = ctx.state;
  window.SetWindowState(WindowState::kNormal);
  window.SetEnabled(false);
  window.SetCaption("Defragment");
  s.bStopRequested = kTrue;
  EndDefragmenters(ctx.services.management, AwaitedShell(s),
                   s.sWatchedCommandLine);
  s.oShell.reset();
  window.SetCommand1Caption("Start");
  window.SetCommand1Enabled(true);
  if (ReportExists(ctx.services)) window.SetCommand2Enabled(true);
  window.SetEnabled(true);
}

}  // namespace

void ToggleRun(Context& ctx) {
  MainWindow& window = *ctx.state.oMainForm;
  window.SetCommand1Enabled(false);
  window.SetCommand2Enabled(false);
  if (window.Command1Caption() == "Start") {
    Start(ctx, window);
  } else if (window.Command1Caption() == "Stop") {
    Stop(ctx, window);
  }
}

}  // namespace orvane
