#pragma once
// Port: the machine's drives.

#include <string>
#include <vector>

namespace orvane {

// Drive types as the platform numbers them.
constexpr int kDriveUnknown = 0;
constexpr int kDriveRemovable = 1;
constexpr int kDriveFixed = 2;
constexpr int kDriveNetwork = 3;
constexpr int kDriveCdRom = 4;
constexpr int kDriveRamDisk = 5;

struct DriveInfo {
  std::string path;  // letter and colon, "C:"
  int type = kDriveUnknown;
};

class Drives {
 public:
  virtual ~Drives() = default;

  // The drives present now, in letter order, each with its type. Every call
  // looks afresh, so two calls may differ when a drive comes or goes.
  // Throws Failure when the drives cannot be listed.
  virtual std::vector<DriveInfo> Enumerate() = 0;
};

}  // namespace orvane
