#include "platform/win32/drives_adapter.h"

#include <windows.h>

#include "platform/win32/win32_error.h"

namespace orvane::win32 {
namespace {

// GetDriveType's numbers to the port's (the scripting runtime's).
int PortDriveType(UINT type) {
  switch (type) {
    case DRIVE_REMOVABLE: return kDriveRemovable;
    case DRIVE_FIXED: return kDriveFixed;
    case DRIVE_REMOTE: return kDriveNetwork;
    case DRIVE_CDROM: return kDriveCdRom;
    case DRIVE_RAMDISK: return kDriveRamDisk;
    default: return kDriveUnknown;  // DRIVE_UNKNOWN, DRIVE_NO_ROOT_DIR
  }
}

}  // namespace

std::vector<DriveInfo> Win32Drives::Enumerate() {
  const DWORD mask = GetLogicalDrives();
  if (mask == 0) throw LastWin32Failure();
  std::vector<DriveInfo> drives;
  for (int i = 0; i < 26; ++i) {
    if ((mask & (DWORD{1} << i)) == 0) continue;
    const wchar_t letter = static_cast<wchar_t>(L'A' + i);
    const wchar_t root[] = {letter, L':', L'\\', L'\0'};
    DriveInfo drive;
    drive.path = {static_cast<char>('A' + i), ':'};
    drive.type = PortDriveType(GetDriveTypeW(root));
    drives.push_back(drive);
  }
  return drives;
}

}  // namespace orvane::win32
