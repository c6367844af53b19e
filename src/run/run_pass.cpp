#include "run/run_pass.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/system_locations.h"
#include "core/letter_case.h"
#include "platform/steps.h"
#include "report/report_file.h"
#include "run/drive_line.h"

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

// Report lines by the 1-based index of the fixed drive. The lines are sized
// by the first count of fixed drives; a drive that appeared since then still
// gets its line, but is reported as the failure it is for the pass.
class ReportLines {
 public:
  explicit ReportLines(int counted) : counted_(counted) {}

  void Append(int k, const std::string& text) {
    if (static_cast<std::size_t>(k) > lines_.size()) lines_.resize(k);
    lines_[k - 1] += text;
    if (k > counted_) throw Failure(kSubscriptOutOfRange, "Subscript out of range");
  }

  const std::vector<std::string>& lines() const { return lines_; }

 private:
  int counted_;
  std::vector<std::string> lines_;
};

// Keeps the pass marked as running until it returns, whatever happens.
class ActivePass {
 public:
  explicit ActivePass(bool& flag) : flag_(flag) { flag_ = true; }
  ~ActivePass() { flag_ = false; }
  ActivePass(const ActivePass&) = delete;
  ActivePass& operator=(const ActivePass&) = delete;

 private:
  bool& flag_;
};

int CountFixed(const std::vector<DriveInfo>& drives) {
  int n = 0;
  for (const DriveInfo& drive : drives) {
    if (drive.type == kDriveFixed) ++n;
  }
  return n;
}

}  // namespace

void RunPass(Context& ctx) {
  SharedState& s = ctx.state;
  const Services& svc = ctx.services;
  ActivePass active(s.bPassActive);
  Steps steps;

  steps([&] { s.oShell = svc.shells.Create(); });

  int nFixedDrives = 0;
  steps([&] { nFixedDrives = CountFixed(svc.drives.Enumerate()); });
  ReportLines aReportLines(nFixedDrives);
  steps([&] { s.oMainForm->SetCommand1Enabled(true); });

  std::vector<DriveInfo> oDrives;
  steps([&] { oDrives = svc.drives.Enumerate(); });

  std::int32_t vExitCode = 0;  // no run yet counts as 0
  bool driveFailed = false;    // a drive ended non-zero or was not started
  nFixedDrives = 0;
  for (const DriveInfo& drive : oDrives) {
    if (drive.type != kDriveFixed) continue;
    const int k = ++nFixedDrives;
    const std::string sDriveLetter = WithoutColons(drive.path);

    if (s.bStopRequested == kTrue) {
      steps([&] { aReportLines.Append(k, AbortedLine(drive.path)); });
      break;
    }
    if (IsExcluded(s.sExcludedDrives, sDriveLetter)) {
      steps([&] { aReportLines.Append(k, RemovedLine(drive.path)); });
      continue;
    }

    bool started = false;
    steps([&] {
      // Our own reference: Stop or close may release oShell while we wait.
      std::shared_ptr<Shell> shell = s.oShell;
      if (!shell) throw Failure(kObjectRequired, "Object required");
      vExitCode = shell->Run(SystemDir(svc) + "\\defrag.exe",
                             drive.path + " -f", kStyleHidden, /*wait=*/true);
      started = true;
    });
    driveFailed = driveFailed || !started || vExitCode != 0;
    steps([&] {
      aReportLines.Append(k, started ? ExitCodeLine(drive.path, vExitCode)
                                     : NotStartedLine(drive.path));
    });
  }

  steps([&] { AppendRunRecord(svc, aReportLines.lines()); });

  const bool stopped = s.bStopRequested == kTrue;
  const bool succeeded = !stopped && !steps.recorded().IsSet() && !driveFailed;
  if (!stopped) {
    MainWindow& window = *s.oMainForm;
    steps([&] { window.SetCaption(succeeded ? kTitleDone : kTitleError); });
    steps([&] { window.SetCommand1Caption("Start"); });
    // A failing existence test still enables Report: the click tests again.
    bool reportExists = true;
    steps([&] { reportExists = ReportExists(svc); });
    if (reportExists) steps([&] { window.SetCommand2Enabled(true); });
    if (s.bRestoreWhenDone != kFalse && s.bMinimized != kFalse) {
      steps([&] { window.SetWindowState(WindowState::kNormal); });
    }
  }

  if (steps.recorded().IsSet()) {
    const RecordedError error = steps.recorded();
    steps([&] { AppendErrorTrailer(svc, error.number, error.description); });
  }

  s.oShell.reset();

  if (s.bExitWhenDone != kFalse && s.bMinimized != kFalse) {
    s.nExitCode = succeeded ? 0 : 1;
    steps([&] { s.oMainForm->Unload(); });
  }
}

}  // namespace orvane
