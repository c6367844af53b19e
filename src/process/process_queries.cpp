#include "process/process_queries.h"

#include "platform/steps.h"
#include "process/wql.h"

namespace orvane {

const char kDefragImage[] = "defrag.exe";
const char kNtfsEngineImage[] = "DfrgNtfs.exe";
const char kFatEngineImage[] = "DfrgFat.exe";

namespace {

IntBool AnyProcess(ManagementService& service, const std::string& query) {
  IntBool found = kFalse;
  Steps steps;
  steps([&] { found = ToIntBool(!service.ExecQuery(query).empty()); });
  return found;
}

void TerminateAll(ManagementService& service, const std::string& query) {
  Steps steps;
  ProcessCollection processes;
  steps([&] { processes = service.ExecQuery(query); });
  for (auto& process : processes) {
    steps([&] { process->Terminate(); });
  }
}

}  // namespace

IntBool IsProcessRunning(ManagementService& service,
                         const std::string& sImageName) {
  return AnyProcess(service, ProcessNameQuery(sImageName));
}

IntBool IsCommandRunning(ManagementService& service,
                         const std::string& sImageName,
                         const std::string& sCommandLine) {
  return AnyProcess(service, CommandLineQuery(sImageName, sCommandLine,
                                              /*withHandle=*/false));
}

void KillProcessByCommand(ManagementService& service,
                          const std::string& sImageName,
                          const std::string& sCommandLine) {
  TerminateAll(service, CommandLineQuery(sImageName, sCommandLine,
                                         /*withHandle=*/true));
}

void KillEngines(ManagementService& service, const std::string& sFirstName,
                 const std::string& sSecondName) {
  TerminateAll(service, EitherNameQuery(sFirstName, sSecondName));
}

namespace {

// Both engines are always asked about, NTFS first.
bool IsEngineRunning(ManagementService& service) {
  const IntBool ntfs = IsProcessRunning(service, kNtfsEngineImage);
  const IntBool fat = IsProcessRunning(service, kFatEngineImage);
  return ntfs == kTrue || fat == kTrue;
}

}  // namespace

bool IsDefragmenterBusy(ManagementService& service,
                        const std::string& sWatchedCommandLine) {
  const IntBool watched =
      IsCommandRunning(service, kDefragImage, sWatchedCommandLine);
  const bool engine = IsEngineRunning(service);
  return watched == kTrue || engine;
}

void EndDefragmenters(ManagementService& service,
                      const std::string& sWatchedCommandLine) {
  if (IsCommandRunning(service, kDefragImage, sWatchedCommandLine) == kTrue) {
    KillProcessByCommand(service, kDefragImage, sWatchedCommandLine);
  }
  if (IsEngineRunning(service)) {
    KillEngines(service, kFatEngineImage, kNtfsEngineImage);
  }
}

}  // namespace orvane
