#pragma once
// A system DLL loaded when first needed rather than imported, so that the
// process does not pay for loading it (and what it loads in turn) before
// its window shows. Always by its full path in the system directory: never
// one from the program's own folder or the current directory, also on XP,
// where the search order cannot be limited.

#include <windows.h>

namespace orvane::win32 {

// The function `name` of the system DLL `dll` ("shell32.dll") as
// `Function`; the DLL is loaded if it is not yet, and stays loaded. Throws
// Failure when the DLL cannot be loaded or lacks the function.
void* SystemLibraryFunction(const wchar_t* dll, const char* name);

template <class Function>
Function SystemFunction(const wchar_t* dll, const char* name) {
  return reinterpret_cast<Function>(SystemLibraryFunction(dll, name));
}

}  // namespace orvane::win32
