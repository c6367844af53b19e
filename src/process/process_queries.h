#pragma once
// Finding and ending defragmenter processes. The questions and the endings
// by name go through the management service; every call binds it afresh. No
// failure leaves them: a question that cannot be answered answers no, an
// ending that fails ends what it can. Stop, a close and the end of the
// session all end the defragmenters here.

#include <cstdint>
#include <string>

#include "core/int_bool.h"
#include "platform/management.h"
#include "platform/process_list.h"
#include "platform/shell.h"

namespace orvane {

extern const char kDefragImage[];  // "defrag.exe"
// The defragmentation engines, in the order the busy test asks about them.
extern const char* const kEngineImages[2];  // "DfrgNtfs.exe", "DfrgFat.exe"

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

// Stop and a close: ends the watched run for drive C: and both engines
// through the management service, asking first; then the run that `awaited`
// (null when none) waits for, through the handle it holds, with Stop's exit
// code: on any drive, also where neither an engine nor the service would
// find it. A run that has ended by then keeps its own exit code. Never
// throws.
void EndDefragmenters(ManagementService& service, Shell* awaited,
                      const std::string& sWatchedCommandLine);

// The end of the session, where Windows' management service refuses calls
// made inside the messages it sends: ends both engines through the system's
// process list, then the run that `awaited` waits for as Stop does, each
// with Stop's exit code. Ends what it can, then throws Failure for the last
// ending that failed.
void EndDefragmentersAtSessionEnd(ProcessList& processes, Shell* awaited);

}  // namespace orvane
