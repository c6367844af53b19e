#pragma once
// Converts Win32 errors and HRESULTs, once, into the Failure that the
// program's logic records: the number as an HRESULT (Win32 errors through
// HRESULT_FROM_WIN32, so they are negative) and the system's own message
// text in UTF-8.

#include <windows.h>

#include "platform/failure.h"

namespace orvane::win32 {

Failure FailureFromWin32(DWORD error);
// The same for an error about `subject` (a file, a program), which takes the
// place of the "%1" that some of the system's texts hold.
Failure FailureFromWin32(DWORD error, const std::string& subject);
Failure FailureFromHresult(HRESULT hr);

// The calling thread's last Win32 error; a failing call that forgot to set
// one still gives a failure (ERROR_GEN_FAILURE), never "success".
Failure LastWin32Failure();

// The system's text for `hr`, without its trailing line break; a fallback
// naming the number when the system has none.
std::string SystemMessage(HRESULT hr);

}  // namespace orvane::win32
