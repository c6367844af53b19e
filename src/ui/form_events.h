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

// The end of the Windows session, once it is certain: closes the window as
// any close does (query-unload, unload), then ends what the close could not
// (the management service may refuse calls at this point) and finishes and
// writes the active pass's record, waiting a few seconds at most for the
// current drive's defragmenter, since the process may be ended as soon as
// this returns. The end of the session is never refused, and a query about it,
// or an end that was cancelled, changes nothing. Never throws.
void FormEndSession(Context& ctx);

// The window object's end: hides and unloads a window that is still loaded;
// never loads it again to do so.
void FormTerminate(Context& ctx);

}  // namespace orvane
