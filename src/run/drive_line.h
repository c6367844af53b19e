#pragma once
// The report line of one fixed drive.

#include <cstdint>
#include <string>

namespace orvane {

// The line for a defragmenter run that ended with `exitCode`.
std::string ExitCodeLine(const std::string& drivePath, std::int32_t exitCode);

std::string AbortedLine(const std::string& drivePath);
std::string RemovedLine(const std::string& drivePath);
std::string NotStartedLine(const std::string& drivePath);

}  // namespace orvane
