#pragma once
// The process-wide state that start-up, the controller, the pass and the
// window's handlers share. One thread reads and writes it; handlers that run
// nested inside a pass change it, so the pass reads it afresh at each use.

#include <memory>
#include <string>
#include <vector>

#include "core/int_bool.h"
#include "platform/main_window.h"
#include "platform/shell.h"

namespace orvane {

class PassRecord;  // run/pass_record.h

struct SharedState {
  MainWindow* oMainForm = nullptr;       // the one window, for the process
  IntBool bStopRequested = kFalse;       // compared with kTrue exactly
  IntBool bAutoStart = kFalse;           // "-S"
  IntBool bRestoreWhenDone = kFalse;     // "-M"
  IntBool bExitWhenDone = kFalse;        // "-E", when no "-M" came before it
  std::string sExcludedDrives;           // letters after "/R:"
  std::shared_ptr<Shell> oShell;         // only while a pass runs
  IntBool bMinimized = kFalse;           // the window is minimized
  std::string sWatchedCommandLine;       // "<sysdir>\defrag.exe" C: -f

  // The shell objects whose Run waits for a viewer that Report opened. The
  // unload stops their waits: the program ends with its window, and the
  // viewers stay open.
  std::vector<std::shared_ptr<Shell>> oViewerShells;

  // The record of the pass inside RunPass, stopped or not; null when none
  // is. Keeps a second pass from starting inside a stopped one that still
  // waits, and lets the end of the session write the record.
  PassRecord* pActivePass = nullptr;

  // From a query about the end of the session, answered yes, until the
  // session ends or goes on: the pass starts no drive meanwhile.
  bool sessionMayEnd = false;
  // From WM_ENDSESSION(TRUE) on: no call may wait on another process.
  bool sessionEnded = false;

  // The process exit code: when a pass ends the program ("-E"), 0 when it
  // ended "Defragmented" and 1 when it failed or was stopped; 1 when
  // start-up ends the program because of a failure (the defragmenter
  // missing, a window that could not be loaded); 0 for every other end.
  int nExitCode = 0;
};

}  // namespace orvane
