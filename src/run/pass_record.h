#pragma once
// The record of a running pass while it is built: the drive collection,
// fetched once, one line per fixed drive reached, the pass's recorded error,
// and the shell object that waits for the current drive's defragmenter. The
// pass fills it and writes it at its end. A session end that comes while
// the pass waits finishes it and writes it from inside that wait
// (run/session_end.h), because the process may be ended before the pass
// gets back; the record, its error trailer and the pass's event are each
// written once, whichever comes first.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/context.h"
#include "platform/drives.h"
#include "platform/shell.h"
#include "platform/steps.h"
#include "report/report_file.h"

namespace orvane {

// How a pass ended, as its title shows it; kStopped by Stop, the window
// closed or the end of the session.
enum class PassOutcome { kDefragmented, kDefragError, kStopped };

class PassRecord {
 public:
  // Runs one step of the pass under its continue-on-error (steps.h); a
  // failure becomes the pass's recorded error.
  template <class Fn>
  bool Step(Fn&& step) noexcept {
    return steps_(std::forward<Fn>(step));
  }
  const RecordedError& Recorded() const { return steps_.recorded(); }

  // Runs the current fixed drive's defragmenter through `shell`, hidden,
  // and answers its exit code; while Run waits, `shell` is the one that
  // AwaitedShell names. Throws what Run throws.
  std::int32_t RunDefragmenter(std::shared_ptr<Shell> shell,
                               const std::string& program,
                               const std::string& arguments);
  // The shell object whose Run waits for the current drive's defragmenter;
  // null when none waits.
  Shell* AwaitedShell() const { return awaitedShell_.get(); }

  // Takes the drive collection; a first enumeration sizes the lines by its
  // fixed drives.
  void SetDrives(std::vector<DriveInfo> drives);
  // The second enumeration: moves on to the next fixed drive of the same
  // collection. Answers false after the last one, and once the record is
  // written.
  bool NextFixedDrive();
  // The current fixed drive's path ("C:").
  const std::string& DrivePath() const;
  // Set the current fixed drive's line, as a step; nothing once the record
  // is written.
  void SetExitCodeLine(std::int32_t exitCode);
  void SetAbortedLine();
  void SetRemovedLine();
  void SetNotStartedLine();

  // Appends the record with the lines of the fixed drives reached, as a
  // step; nothing when it was written before.
  void WriteRecord(const Services& services);
  // Appends the error trailer when the pass has recorded an error, as a
  // step; nothing when it was written before.
  void WriteTrailer(const Services& services);
  // Writes the pass's event, once the record and any trailer are appended:
  // information, error or warning by `outcome`, with the record and the
  // trailer (empty when none) exactly as appended, or as they would have
  // been where the report could not be written. Nothing when it was
  // written before.
  void WriteEvent(const Services& services, PassOutcome outcome);
  // Inside WM_ENDSESSION, where the process may be ended at any moment: the
  // event of a stopped pass first, which carries the record and any
  // trailer, then both in one append with one short retry for a report
  // held open. Each only when not written before.
  void WriteAtSessionEnd(const Services& services);

 private:
  void SetLine(std::string (*line)(const std::string& drivePath));
  // The record's and the trailer's texts, each once; "" when taken before
  // (or, for the trailer, when no error was recorded).
  std::string TakeRecord(const Services& services);
  std::string TakeTrailer(const Services& services);
  void Append(const Services& services, const std::string& text,
              HeldReport held);

  Steps steps_;
  std::shared_ptr<Shell> awaitedShell_;
  std::vector<DriveInfo> drives_;
  std::size_t next_ = 0;              // the next drive of the collection
  std::vector<std::string> lines_;   // one per fixed drive reached
  bool recordWritten_ = false;
  bool trailerWritten_ = false;
  bool eventWritten_ = false;
  std::string recordText_;   // as appended to the report
  std::string trailerText_;  // as appended; empty when none
};

// The shell whose Run waits for the active pass's current defragmenter;
// null when no pass is active or none waits.
Shell* AwaitedShell(const SharedState& state);

}  // namespace orvane
