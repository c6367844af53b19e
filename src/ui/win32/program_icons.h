#pragma once
// The program's icon at the two sizes the system shows it.

#include <windows.h>

#include "platform/win32/resource.h"

namespace orvane::win32 {

struct ProgramIcons {
  UniqueIcon large;  // SM_CXICON by SM_CYICON: the title bar's Alt+Tab
  UniqueIcon small;  // SM_CXSMICON by SM_CYSMICON: caption and taskbar
};

// Loads the icon resource of `instance` twice, each time picking its image
// made for that size. Not shared: a shared icon is cached by resource, and
// the second load would answer the first size's image, shrunk. An icon
// that cannot be loaded stays empty (the system's default is shown).
ProgramIcons LoadProgramIcons(HINSTANCE instance);

}  // namespace orvane::win32
