#pragma once
// What the main window does when its events arrive. The Win32 window calls
// these from its message handlers; they work on the window only through
// Context::state.oMainForm.

#include "core/context.h"

namespace orvane {

// Load: installs the size guard, enables Report when this month's report
// exists, centres the window on the screen and shows it.
void FormLoad(Context& ctx);

// Start/Stop button: focus to the hidden text box, then ToggleRun.
void Command1Click(Context& ctx);

// Report button: focus to the hidden text box, then opens this month's
// report, when it exists, maximized in the program associated with it, and
// waits until that program has ended.
void Command2Click(Context& ctx);

// Resize: records whether the window is minimized.
void FormResize(Context& ctx);

// Query-unload: asks a running pass to stop and releases its shell object.
void FormQueryUnload(Context& ctx);

// Unload: removes the size guard, asks a running pass to stop, ends the
// defragmenter's processes and releases the shell object.
void FormUnload(Context& ctx);

// A query about the end of the Windows session: never refused. From now
// until the session ends or goes on (FormEndSession), the pass starts no
// drive. `logoff`: only the user who is logged on leaves; a process that
// runs as SYSTEM ignores that, and so does its pass.
bool FormQueryEndSession(Context& ctx, bool logoff = false);

// The end of the Windows session: `ending` when it is certain, false when
// it was cancelled, and then the pass goes on as before. When certain,
// finishes and writes the active pass's record first (run/session_end.h),
// since the process may be ended as soon as this returns, then closes the
// window as any close does (query-unload, unload), which then makes no call
// that may wait on another process. Never throws.
void FormEndSession(Context& ctx, bool ending, bool logoff = false);

// The window object's end: hides and unloads a window that is still loaded;
// never loads it again to do so.
void FormTerminate(Context& ctx);

}  // namespace orvane
