#include "core/system_locations.h"

namespace orvane {

std::string DefragmenterPath(const Services& services) {
  std::string dir = SystemDir(services);
  return dir.empty() ? std::string() : dir + "\\defrag.exe";
}

std::string WatchedCommandLine(const Services& services) {
  return "\"" + SystemDir(services) + "\\defrag.exe\" C: -f";
}

}  // namespace orvane
