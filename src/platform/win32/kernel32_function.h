#pragma once
// A kernel32 function looked up by name, for functions that older Windows
// versions lack: the program must still start there, and asks first.

#include <windows.h>

namespace orvane::win32 {

// The function `name` of kernel32.dll as `Function`; null when this Windows
// has none.
template <class Function>
Function Kernel32Function(const char* name) {
  const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
  if (!kernel32) return nullptr;
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(kernel32, name)));
}

}  // namespace orvane::win32
