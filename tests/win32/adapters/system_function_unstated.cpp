// Compiled, not run: a looked-up function with a result must state what a
// call answers while the function is missing (for an HRESULT a default 0
// would be S_OK); one that answers nothing may leave it out.
#include "platform/win32/loader.h"

namespace orvane::win32 {
#ifdef STATED
SystemFunction<decltype(&::GetTickCount)> tickCount{
    L"kernel32.dll", "GetTickCount", 0};
#else
SystemFunction<decltype(&::GetTickCount)> tickCount{
    L"kernel32.dll", "GetTickCount"};
#endif
SystemFunction<decltype(&::Sleep)> sleep{L"kernel32.dll", "Sleep"};
}  // namespace orvane::win32
