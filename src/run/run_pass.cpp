#include "run/run_pass.h"

#include <cstdint>
#include <memory>
#include <string>

#include "core/system_locations.h"
#include "core/letter_case.h"
#include "platform/scope_exit.h"
#include "report/report_file.h"
#include "run/pass_record.h"
#include "run/session_end.h"

namespace orvane {
namespace {

const char kTitleDone[] = "Defragmented";
const char kTitleError[] = "Defrag Error";

std::string WithoutColons(std::string path) {
  std::string letter;
  for (char c : path) {
    if (c != ':') letter += c;
  }
  return letter;
}

bool IsExcluded(const std::string& excludedDrives, const std::string& letter) {
  if (excludedDrives.empty() || letter.empty()) return false;
  return UpperCaseAscii(excludedDrives).find(UpperCaseAscii(letter)) !=
         std::string::npos;
}

// The next fixed drive, once the session goes on: from a query about the
// end of the session until its end, no drive starts. When it ends, the
// session's end has finished and written the record, and no drive follows.
bool NextDriveWhileTheSessionGoesOn(Context& ctx, PassRecord& record) {
  HoldWhileTheSessionMayEnd(ctx, record);
  return record.NextFixedDrive();
}

}  // namespace

void RunPass(Context& ctx) {
  SharedState& s = ctx.state;
  const Services& svc = ctx.services;
  PassRecord record;
  // The pass is active, with its record, until it returns, whatever
  // happens.
  s.pActivePass = &record;
  ScopeExit inactive([&s] { s.pActivePass = nullptr; });

  record.Step([&] { s.oShell = svc.shells.Create(); });
  // Fetched once: both enumerations walk the same collection.
  record.Step([&] { record.SetDrives(svc.drives.Enumerate()); });
  record.Step([&] { s.oMainForm->SetCommand1Enabled(true); });

  std::int32_t vExitCode = 0;  // no run yet counts as 0
  bool driveFailed = false;    // a drive ended non-zero or was not started
  while (NextDriveWhileTheSessionGoesOn(ctx, record)) {
    const std::string& drivePath = record.DrivePath();
    if (s.bStopRequested == kTrue) {
      record.SetAbortedLine();
      break;
    }
    if (IsExcluded(s.sExcludedDrives, WithoutColons(drivePath))) {
      record.SetRemovedLine();
      continue;
    }

    bool started = false;
    record.Step([&] {
      // Our own reference: Stop or close may release oShell while we wait.
      std::shared_ptr<Shell> shell = s.oShell;
      if (!shell) throw Failure(kObjectRequired, "Object required");
      // The rule start-up follows: never a path relative to the drive.
      const std::string program = DefragmenterPath(svc);
      if (program.empty()) throw Failure(kFileNotFound, "File not found");
      vExitCode = record.RunDefragmenter(shell, program, drivePath + " -f");
      started = true;
    });
    driveFailed = driveFailed || !started || vExitCode != 0;
    if (started) {
      record.SetExitCodeLine(vExitCode);
    } else {
      record.SetNotStartedLine();
    }
  }

  record.WriteRecord(svc);

  const bool stopped = s.bStopRequested == kTrue;
  const bool succeeded = !stopped && !record.Recorded().IsSet() && !driveFailed;
  MainWindow& window = *s.oMainForm;
  if (!stopped) {
    record.Step(
        [&] { window.SetCaption(succeeded ? kTitleDone : kTitleError); });
    record.Step([&] { window.SetCommand1Caption("Start"); });
  }
  // After a stop too, unless the window has closed: Stop enabled Report
  // only when the report existed then, a Start refused since has disabled
  // it, and the record just written exists.
  if (!stopped || window.IsLoaded()) {
    // After a pass that was not stopped, a failing existence test still
    // enables Report: the click tests again.
    bool reportExists = !stopped;
    record.Step([&] { reportExists = ReportExists(svc); });
    if (reportExists) record.Step([&] { window.SetCommand2Enabled(true); });
  }
  if (!stopped && s.bRestoreWhenDone != kFalse && s.bMinimized != kFalse) {
    record.Step([&] { window.SetWindowState(WindowState::kNormal); });
  }

  record.WriteTrailer(svc);
  record.WriteEvent(svc, stopped     ? PassOutcome::kStopped
                         : succeeded ? PassOutcome::kDefragmented
                                     : PassOutcome::kDefragError);

  s.oShell.reset();

  if (s.bExitWhenDone != kFalse && s.bMinimized != kFalse) {
    s.nExitCode = succeeded ? 0 : 1;
    record.Step([&] { s.oMainForm->Unload(); });
  }
}

}  // namespace orvane
