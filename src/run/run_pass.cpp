#include "run/run_pass.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "core/system_locations.h"
#include "core/letter_case.h"
#include "platform/steps.h"
#include "report/report_file.h"
#include "run/pass_record.h"

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

// Marks the pass as active, with its record, until it returns, whatever
// happens.
class ActivePass {
 public:
  ActivePass(SharedState& state, PassRecord& record) : state_(state) {
    state_.pActivePass = &record;
  }
  ~ActivePass() { state_.pActivePass = nullptr; }
  ActivePass(const ActivePass&) = delete;
  ActivePass& operator=(const ActivePass&) = delete;

 private:
  SharedState& state_;
};

// Names the shell object that waits for the current drive's defragmenter
// while Run lasts.
class RunningShell {
 public:
  RunningShell(PassRecord& record, std::shared_ptr<Shell> shell)
      : record_(record) {
    record_.runningShell = std::move(shell);
  }
  ~RunningShell() { record_.runningShell.reset(); }
  RunningShell(const RunningShell&) = delete;
  RunningShell& operator=(const RunningShell&) = delete;

 private:
  PassRecord& record_;
};

}  // namespace

void RunPass(Context& ctx) {
  SharedState& s = ctx.state;
  const Services& svc = ctx.services;
  PassRecord record;
  ActivePass active(s, record);
  Steps& steps = record.steps;

  steps([&] { s.oShell = svc.shells.Create(); });
  // Fetched once: both enumerations walk the same collection.
  steps([&] { record.SetDrives(svc.drives.Enumerate()); });
  steps([&] { s.oMainForm->SetCommand1Enabled(true); });

  std::int32_t vExitCode = 0;  // no run yet counts as 0
  bool driveFailed = false;    // a drive ended non-zero or was not started
  while (record.NextFixedDrive()) {
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
    steps([&] {
      // Our own reference: Stop or close may release oShell while we wait.
      std::shared_ptr<Shell> shell = s.oShell;
      if (!shell) throw Failure(kObjectRequired, "Object required");
      // The rule start-up follows: never a path relative to the drive.
      const std::string program = DefragmenterPath(svc);
      if (program.empty()) throw Failure(kFileNotFound, "File not found");
      RunningShell running(record, shell);
      vExitCode = shell->Run(program, drivePath + " -f", kStyleHidden,
                             /*wait=*/true);
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
  const bool succeeded = !stopped && !steps.recorded().IsSet() && !driveFailed;
  MainWindow& window = *s.oMainForm;
  if (!stopped) {
    steps([&] { window.SetCaption(succeeded ? kTitleDone : kTitleError); });
    steps([&] { window.SetCommand1Caption("Start"); });
  }
  // After a stop too, unless the window has closed: Stop enabled Report
  // only when the report existed then, a Start refused since has disabled
  // it, and the record just written exists.
  if (!stopped || window.IsLoaded()) {
    // After a pass that was not stopped, a failing existence test still
    // enables Report: the click tests again.
    bool reportExists = !stopped;
    steps([&] { reportExists = ReportExists(svc); });
    if (reportExists) steps([&] { window.SetCommand2Enabled(true); });
  }
  if (!stopped && s.bRestoreWhenDone != kFalse && s.bMinimized != kFalse) {
    steps([&] { window.SetWindowState(WindowState::kNormal); });
  }

  record.WriteTrailer(svc);
  record.WriteEvent(svc, stopped     ? PassOutcome::kStopped
                         : succeeded ? PassOutcome::kDefragmented
                                     : PassOutcome::kDefragError);

  s.oShell.reset();

  if (s.bExitWhenDone != kFalse && s.bMinimized != kFalse) {
    s.nExitCode = succeeded ? 0 : 1;
    steps([&] { s.oMainForm->Unload(); });
  }
}

}  // namespace orvane
