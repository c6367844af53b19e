#include "run/pass_record.h"

#include <utility>

#include "platform/scope_exit.h"
#include "report/report_file.h"
#include "run/drive_line.h"

namespace orvane {
namespace {

struct EventKind {
  EventType type;
  std::uint32_t id;
};

EventKind EventKindOf(PassOutcome outcome) {
  switch (outcome) {
    case PassOutcome::kDefragmented:
      return {EventType::kInformation, kEventPassDefragmented};
    case PassOutcome::kDefragError:
      return {EventType::kError, kEventPassDefragError};
    default:
      return {EventType::kWarning, kEventPassStopped};
  }
}

}  // namespace

std::int32_t PassRecord::RunDefragmenter(std::shared_ptr<Shell> shell,
                                         const std::string& program,
                                         const std::string& arguments) {
  ScopeExit awaited([this] { awaitedShell_.reset(); });
  awaitedShell_ = std::move(shell);
  return awaitedShell_->Run(program, arguments, kStyleHidden, /*wait=*/true);
}

void PassRecord::SetDrives(std::vector<DriveInfo> drives) {
  drives_ = std::move(drives);
  next_ = 0;
  std::size_t fixed = 0;
  for (const DriveInfo& drive : drives_) {
    if (drive.type == kDriveFixed) ++fixed;
  }
  lines_.reserve(fixed);
}

bool PassRecord::NextFixedDrive() {
  if (recordWritten_) return false;
  while (next_ < drives_.size()) {
    if (drives_[next_++].type == kDriveFixed) {
      lines_.emplace_back();
      return true;
    }
  }
  return false;
}

const std::string& PassRecord::DrivePath() const {
  return drives_[next_ - 1].path;
}

void PassRecord::SetExitCodeLine(std::int32_t exitCode) {
  if (recordWritten_ || lines_.empty()) return;
  steps_([&] { lines_.back() = ExitCodeLine(DrivePath(), exitCode); });
}

void PassRecord::SetLine(std::string (*line)(const std::string& drivePath)) {
  if (recordWritten_ || lines_.empty()) return;
  steps_([&] { lines_.back() = line(DrivePath()); });
}

void PassRecord::SetAbortedLine() { SetLine(&AbortedLine); }
void PassRecord::SetRemovedLine() { SetLine(&RemovedLine); }
void PassRecord::SetNotStartedLine() { SetLine(&NotStartedLine); }

std::string PassRecord::TakeRecord(const Services& services) {
  if (recordWritten_) return {};
  recordWritten_ = true;
  steps_([&] { recordText_ = RunRecord(services.clock, lines_); });
  return recordText_;
}

std::string PassRecord::TakeTrailer(const Services& services) {
  if (trailerWritten_ || !steps_.recorded().IsSet()) return {};
  trailerWritten_ = true;
  const RecordedError error = steps_.recorded();
  steps_([&] {
    trailerText_ =
        ErrorTrailer(services.clock, error.number, error.description);
  });
  return trailerText_;
}

void PassRecord::Append(const Services& services, const std::string& text,
                        HeldReport held) {
  if (text.empty()) return;
  steps_([&] { AppendToReport(services, text, held); });
}

void PassRecord::WriteRecord(const Services& services) {
  Append(services, TakeRecord(services), HeldReport::kWaitHandlingMessages);
}

void PassRecord::WriteTrailer(const Services& services) {
  Append(services, TakeTrailer(services), HeldReport::kWaitHandlingMessages);
}

void PassRecord::WriteEvent(const Services& services, PassOutcome outcome) {
  if (eventWritten_) return;
  eventWritten_ = true;
  const EventKind kind = EventKindOf(outcome);
  steps_([&] {
    services.events.Write(kind.type, kind.id, {recordText_, trailerText_});
  });
}

void PassRecord::WriteAtSessionEnd(const Services& services) {
  std::string text = TakeRecord(services);
  text += TakeTrailer(services);
  WriteEvent(services, PassOutcome::kStopped);
  Append(services, text, HeldReport::kRetryOnceAtSessionEnd);
}

Shell* AwaitedShell(const SharedState& state) {
  return state.pActivePass ? state.pActivePass->AwaitedShell() : nullptr;
}

}  // namespace orvane
