#pragma once
// Finding and ending defragmenter processes through the management service.
// Every call binds the service afresh; no failure ever leaves these
// functions: a question that cannot be answered answers no, a termination
// that fails ends what it can.

#include <cstdint>
#include <string>

#include "core/int_bool.h"
#include "platform/management.h"

namespace orvane {

extern const char kDefragImage[];     // "defrag.exe"
extern const char kNtfsEngineImage[];  // "DfrgNtfs.exe"
extern const char kFatEngineImage[];   // "DfrgFat.exe"

// The exit code of a process that Stop ended: Terminate's, 1, which the
// report explains as cancelled manually.
constexpr std::int32_t kStoppedExitCode = 1;

IntBool IsProcessRunning(ManagementService& service,
                         const std::string& sImageName);
IntBool IsCommandRunning(ManagementService& service,
                         const std::string& sImageName,
                         const std::string& sCommandLine);
void KillProcessByCommand(ManagementService& service,
                          const std::string& sImageName,
                          const std::string& sCommandLine);
void KillEngines(ManagementService& service, const std::string& sFirstName,
                 const std::string& sSecondName);

// Whether another defragmenter works: the watched run for drive C: or
// either engine. All three questions are always asked.
bool IsDefragmenterBusy(ManagementService& service,
                        const std::string& sWatchedCommandLine);

// Ends the watched run for drive C: and both engines, asking first; used by
// Stop and by closing the window.
void EndDefragmenters(ManagementService& service,
                      const std::string& sWatchedCommandLine);

}  // namespace orvane
