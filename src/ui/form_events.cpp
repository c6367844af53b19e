#include "ui/form_events.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "process/process_queries.h"
#include "report/report_file.h"
#include "platform/steps.h"
#include "run/pass_record.h"
#include "run/toggle_run.h"

namespace orvane {
namespace {

// How long the end of the session waits for the current drive's
// defragmenter after it and its engines have been ended: well within the few
// seconds Windows gives a program before it offers to end it.
constexpr int kSessionEndWaitMs = 3000;

// Names a shell object in the list of those waiting for a viewer while it
// waits.
class ViewerWait {
 public:
  ViewerWait(std::vector<std::shared_ptr<Shell>>& shells,
             std::shared_ptr<Shell> shell)
      : shells_(shells), shell_(std::move(shell)) {
    shells_.push_back(shell_);
  }
  ~ViewerWait() {
    shells_.erase(std::find(shells_.begin(), shells_.end(), shell_));
  }
  ViewerWait(const ViewerWait&) = delete;
  ViewerWait& operator=(const ViewerWait&) = delete;

 private:
  std::vector<std::shared_ptr<Shell>>& shells_;
  std::shared_ptr<Shell> shell_;
};

}  // namespace

void FormLoad(Context& ctx) {
  MainWindow& window = *ctx.state.oMainForm;
  window.InstallSizeGuard();
  if (ReportExists(ctx.services)) window.SetCommand2Enabled(true);
  // Width first, then height, each from its own reading.
  const double width = window.WidthTwips();
  const double screenWidth = window.ScreenWidthTwips();
  window.SetLeftTwips(static_cast<float>(screenWidth / 2.0 - width / 2.0));
  const double height = window.HeightTwips();
  const double screenHeight = window.ScreenHeightTwips();
  window.SetTopTwips(static_cast<float>(screenHeight / 2.0 - height / 2.0));
  window.Show();
}

void Command1Click(Context& ctx) {
  ctx.state.oMainForm->FocusTxtOver();
  ToggleRun(ctx);
}

void Command2Click(Context& ctx) {
  ctx.state.oMainForm->FocusTxtOver();
  if (!ReportExists(ctx.services)) return;
  // A shell object of the click's own, not the pass's.
  std::shared_ptr<Shell> shell = ctx.services.shells.Create();
  ViewerWait waiting(ctx.state.oViewerShells, shell);
  shell->Run(ReportPath(ctx.services), "", kStyleMaximized, /*wait=*/true);
}

void FormResize(Context& ctx) {
  ctx.state.bMinimized = ToIntBool(ctx.state.oMainForm->GetWindowState() ==
                                   WindowState::kMinimized);
}

void FormQueryUnload(Context& ctx) {
  ctx.state.bStopRequested = kTrue;
  ctx.state.oShell.reset();
}

void FormUnload(Context& ctx) {
  for (const auto& shell : ctx.state.oViewerShells) shell->StopWaiting();
  ctx.state.oMainForm->RemoveSizeGuard();
  ctx.state.bStopRequested = kTrue;
  EndDefragmenters(ctx.services.management, AwaitedShell(ctx.state),
                   ctx.state.sWatchedCommandLine);
  ctx.state.oShell.reset();
}

bool FormQueryEndSession(Context& ctx) {
  ctx.state.sessionMayEnd = true;
  return true;
}

void FormEndSession(Context& ctx, bool ending) {
  ctx.state.sessionMayEnd = false;
  if (!ending) return;
  ctx.state.bStopRequested = kTrue;
  // The record first: the close asks the management service, which may
  // make it wait, and the process may be ended at any moment now.
  FinishPassAtSessionEnd(ctx, kSessionEndWaitMs);
  Steps steps;
  steps([&] { ctx.state.oMainForm->Unload(); });
}

void FormTerminate(Context& ctx) {
  MainWindow& window = *ctx.state.oMainForm;
  if (!window.IsLoaded()) return;
  window.Hide();
  window.Unload();
}

}  // namespace orvane
