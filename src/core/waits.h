#pragma once
// Every wait of the program's one thread, with what ends it. The pass waits
// nested inside a window handler, and every handler that runs meanwhile runs
// nested inside that wait: a wait that misses an exit holds the program, its
// instance claim, and so every later scheduled run. Each has a limit.
//
// - A drive's defragmenter (Shell::Run): its process ends. Stop and a close
//   end it through the handle it holds; so does the end of the session.
// - The hold from a query about the end of the session, answered yes, before
//   the next drive (HoldWhileTheSessionMayEnd): WM_ENDSESSION, either way;
//   Stop; the window's close or unload; kSessionHoldMs, after which the pass
//   goes on as after a cancelled end. A query answered while no pass ran
//   holds no pass that Start begins later.
// - At the end of the session, the current drive's defragmenter once it has
//   been ended: its end, or kSessionEndDefragmenterMs.
// - A report that another program holds open: it lets go, or kReportHeldMs
//   have passed, waited in steps of kReportRetryMs while messages are
//   handled; at the end of the session one more try only, after
//   kSessionEndReportRetryMs, with no messages handled.
// - Report's request to the desktop's shell, made from a thread of its own
//   while messages are handled: its answer, or kDesktopShellAnswerMs
//   (platform/win32/desktop_shell.h), after which Report fails as any
//   failed Report does.

namespace orvane {

// Windows waits 20 s (WaitToKillAppTimeout, as XP and 7 have it) for the
// programs that answer the query before it ends the session or gives up;
// past 30 s the session has gone on, or its end comes during the next drive
// and finishes the pass from there.
constexpr int kSessionHoldMs = 30000;

// WM_ENDSESSION has 5 s in all; the record's event and its file write
// follow this wait.
constexpr int kSessionEndDefragmenterMs = 2000;
constexpr int kSessionEndReportRetryMs = 500;

// A viewer, a backup or a search indexer may hold the report for a moment.
constexpr int kReportHeldMs = 10000;
constexpr int kReportRetryMs = 200;

}  // namespace orvane
