#pragma once
// The end of the Windows session, as it meets a pass. Windows asks first
// (WM_QUERYENDSESSION), then says whether the session ends (WM_ENDSESSION),
// and may end the process at any moment once that has come, 5 s at most
// after it. From the query on the pass starts no drive; when the session
// ends, its record is written from inside the pass's wait, since the pass
// may never get back. core/waits.h names each wait's exits and limits.

#include "core/context.h"
#include "run/pass_record.h"

namespace orvane {

// A query about the end of the session, which is never refused: from now
// the pass holds before its next drive (HoldWhileTheSessionMayEnd).
// `logoff`: only the user who is logged on is leaving.
void SessionEndQueried(Context& ctx, bool logoff);

// The end of the session: `ending` when it is certain, false when it was
// cancelled, and then the pass goes on. Answers true when the program must
// close now; the active pass has then been finished as after a stop and
// written (FinishPassAtSessionEnd). Never throws.
bool SessionEnds(Context& ctx, bool ending, bool logoff);

// Before the pass's next drive, while the session may end: handles messages
// until WM_ENDSESSION comes either way, Stop, the window's close or unload,
// or kSessionHoldMs have passed; then the pass goes on as after a cancelled
// end, unless a stop was asked for or the session's end wrote the record.
// A failed wait is recorded in `record`.
void HoldWhileTheSessionMayEnd(Context& ctx, PassRecord& record);

// Finishes the active pass's record as the pass would after a stop and
// writes it. Ends every defragmentation engine and the current drive's
// defragmenter without the management service
// (EndDefragmentersAtSessionEnd), then waits up to
// kSessionEndDefragmenterMs for that defragmenter to end and takes its line
// from the exit code; one that has not ended by then is reported "aborted by
// user". The next fixed drive gets "aborted by user". The stopped pass's
// event first, then the report (PassRecord::WriteAtSessionEnd). Nothing
// when no pass is active. Never throws.
void FinishPassAtSessionEnd(Context& ctx);

}  // namespace orvane
