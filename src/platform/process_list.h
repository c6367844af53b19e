#pragma once
// Port: the system's own list of running processes, read without the
// management service.

#include <cstdint>
#include <string>

namespace orvane {

class ProcessList {
 public:
  virtual ~ProcessList() = default;

  // Ends every running process whose image name is `imageName` (as
  // "DfrgNtfs.exe", compared in any letter case) with `exitCode`, without
  // waiting for them to end. Processes that end meanwhile are skipped; none
  // found is no failure. Ends what it can and then throws Failure for the
  // last one it could not end, or when the list cannot be read.
  virtual void EndByImageName(const std::string& imageName,
                              std::int32_t exitCode) = 0;
};

}  // namespace orvane
