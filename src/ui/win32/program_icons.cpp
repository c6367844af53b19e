#include "ui/win32/program_icons.h"

#include "resource_ids.h"

namespace orvane::win32 {
namespace {

UniqueIcon LoadIconSized(HINSTANCE instance, int widthMetric,
                         int heightMetric) {
  return UniqueIcon(static_cast<HICON>(LoadImageW(
      instance, MAKEINTRESOURCEW(IDI_ORVANE), IMAGE_ICON,
      GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric),
      LR_DEFAULTCOLOR)));
}

}  // namespace

ProgramIcons LoadProgramIcons(HINSTANCE instance) {
  return {LoadIconSized(instance, SM_CXICON, SM_CYICON),
          LoadIconSized(instance, SM_CXSMICON, SM_CYSMICON)};
}

}  // namespace orvane::win32
