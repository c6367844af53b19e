#pragma once
// Where the defragmenter and the report live. Asked afresh at every use.

#include <string>

#include "core/context.h"

namespace orvane {

inline std::string SystemDir(const Services& services) {
  return services.directories.SystemDirectory();
}

inline std::string WindowsDir(const Services& services) {
  return services.directories.WindowsDirectory();
}

// The defragmenter's full path, "" when the system directory is unknown:
// the program never looks for it in the current drive's root.
std::string DefragmenterPath(const Services& services);

// The command line of a defragmenter run for drive C: from the system
// directory, as the shell starts it: "<sysdir>\defrag.exe" C: -f
std::string WatchedCommandLine(const Services& services);

}  // namespace orvane
