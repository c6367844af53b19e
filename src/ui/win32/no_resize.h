#pragma once
// mNoResize: keeps one window at the size it has. WindowProc is put in front
// of the window's own procedure; when the user drags a border or corner it
// rewrites the proposed rectangle (WM_SIZING) so that width and height stay.
// Changes of size that come without a drag (Snap, vertical maximize, a
// window manager's resize) are held too: the window's normal size is the
// smallest and largest it may have (WM_GETMINMAXINFO), and a proposed size
// is put back (WM_WINDOWPOSCHANGING), except while the window is minimized
// or being restored. Every other message is handed on unchanged. One window
// at a time.

#include <windows.h>

namespace orvane::win32 {

// Records `form`'s size and subclasses it with WindowProc, keeping the
// procedure it replaces. Throws Failure when the window's size cannot be
// read or its procedure cannot be replaced.
void HookForm(HWND form);

// Puts the replaced procedure back and forgets the window. Does nothing
// when no window is hooked.
void UnhookForm();

// Records the hooked window's outer size, frame and title bar included, in
// real pixels (so the guard holds at any display density). Throws Failure
// when the size cannot be read.
void CaptureSize();

// The replacement procedure. Records the size afresh for every message,
// answers WM_SIZING itself with 0, and passes everything else to the
// replaced procedure (the default one when there is none), with its result;
// WM_WINDOWPOSCHANGING with the size put back before, WM_GETMINMAXINFO with
// the tracking sizes set to the normal size after.
// Ignores its own failures: a message is always answered.
LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam,
                            LPARAM lParam) noexcept;

}  // namespace orvane::win32
