#include "ui/form_events.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "process/process_queries.h"
#include "report/report_file.h"
#include "platform/scope_exit.h"
#include "platform/steps.h"
#include "run/session_end.h"
#include "run/toggle_run.h"

namespace orvane {
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
  // In the list of those waiting for a viewer while it waits.
  std::vector<std::shared_ptr<Shell>>& waiting = ctx.state.oViewerShells;
  waiting.push_back(shell);
  ScopeExit done([&waiting, shell] {
    waiting.erase(std::find(waiting.begin(), waiting.end(), shell));
  });
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
  // At the end of the session the pass's own ending has ended them, by
  // their handle and the process list: the management service may wait on
  // its own service process there, for longer than Windows allows.
  if (!ctx.state.sessionEnded) {
    EndDefragmenters(ctx.services.management, AwaitedShell(ctx.state),
                     ctx.state.sWatchedCommandLine);
  }
  ctx.state.oShell.reset();
}

bool FormQueryEndSession(Context& ctx, bool logoff) {
  SessionEndQueried(ctx, logoff);
  return true;
}

void FormEndSession(Context& ctx, bool ending, bool logoff) {
  if (!SessionEnds(ctx, ending, logoff)) return;
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
