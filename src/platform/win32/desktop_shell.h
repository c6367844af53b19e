#pragma once
// Documents opened by the desktop's own shell, the one the user's session
// runs, rather than by this process.

#include <string>

namespace orvane::win32 {

// Asks the desktop's shell (Explorer) to open `file` with `arguments` in a
// window of `windowStyle` (SW_ values), as if the user had opened it there:
// the program that opens it runs with the desktop's rights, not with this
// process's, so that a handler that any program of the user may register
// never runs elevated. The started process cannot be had through this
// route. False where there is no desktop shell to ask (no Explorer, a
// service's session, Wine without its desktop) or it refused; then nothing
// was started. COM must be entered on this thread. Never throws.
bool OpenThroughDesktopShell(const std::wstring& file,
                             const std::wstring& arguments,
                             int windowStyle) noexcept;

}  // namespace orvane::win32
