#include "run/session_end.h"

#include <cstdint>

#include "core/waits.h"
#include "process/process_queries.h"

namespace orvane {
namespace {

// On XP and Server 2003 a task run as SYSTEM shares session 0 with the
// console's user, and its window is told when that user logs off. Nothing
// ends a SYSTEM process then: the pass goes on.
bool IsOtherUsersLogoff(Context& ctx, bool logoff) {
  return logoff && ctx.services.account.IsLocalSystem();
}

}  // namespace

void SessionEndQueried(Context& ctx, bool logoff) {
  if (IsOtherUsersLogoff(ctx, logoff)) return;
  ctx.state.sessionMayEnd = true;
}

bool SessionEnds(Context& ctx, bool ending, bool logoff) {
  SharedState& s = ctx.state;
  if (IsOtherUsersLogoff(ctx, logoff)) return false;
  s.sessionMayEnd = false;
  if (!ending) return false;
  s.sessionEnded = true;
  s.bStopRequested = kTrue;
  FinishPassAtSessionEnd(ctx);
  return true;
}

void HoldWhileTheSessionMayEnd(Context& ctx, PassRecord& record) {
  SharedState& s = ctx.state;
  if (!s.sessionMayEnd) return;
  record.Step([&] {
    ctx.services.messages.HandleUntil(
        [&] {
          return !s.sessionMayEnd ||           // WM_ENDSESSION, either way
                 s.bStopRequested == kTrue ||  // Stop, a close, an unload
                 !s.oMainForm->IsLoaded();
        },
        kSessionHoldMs);
  });
  // The query has had its answer, whatever ended the hold.
  s.sessionMayEnd = false;
}

void FinishPassAtSessionEnd(Context& ctx) {
  PassRecord* record = ctx.state.pActivePass;
  if (!record) return;
  // Its Run, which this handler runs nested in, outlasts this call.
  Shell* const shell = record->AwaitedShell();
  record->Step(
      [&] { EndDefragmentersAtSessionEnd(ctx.services.processes, shell); });
  if (shell) {
    std::int32_t exitCode = 0;
    bool ended = false;
    record->Step(
        [&] { ended = shell->AwaitEnd(kSessionEndDefragmenterMs, exitCode); });
    if (ended) {
      record->SetExitCodeLine(exitCode);
    } else {
      record->SetAbortedLine();
    }
  }
  // The pass would find the stop request at the next fixed drive.
  if (record->NextFixedDrive()) record->SetAbortedLine();
  record->WriteAtSessionEnd(ctx.services);
}

}  // namespace orvane
