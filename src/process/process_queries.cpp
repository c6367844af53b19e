#include "process/process_queries.h"

#include "platform/steps.h"
#include "process/wql.h"

namespace orvane {

const char kDefragImage[] = "defrag.exe";
const char* const kEngineImages[2] = {"DfrgNtfs.exe", "DfrgFat.exe"};

namespace {

IntBool AnyProcess(ManagementService& service, const std::string& query) {
  IntBool found = kFalse;
  Steps steps;
  steps([&] { found = ToIntBool(!service.ExecQuery(query).empty()); });
  return found;
}

void EndAll(ManagementService& service, const std::string& query) {
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
  EndAll(service, CommandLineQuery(sImageName, sCommandLine,
                                         /*withHandle=*/true));
}

void KillEngines(ManagementService& service, const std::string& sFirstName,
                 const std::string& sSecondName) {
  EndAll(service, EitherNameQuery(sFirstName, sSecondName));
}

namespace {

// Both engines are always asked about.
bool IsEngineRunning(ManagementService& service) {
  bool running = false;
  for (const char* engine : kEngineImages) {
    running = IsProcessRunning(service, engine) == kTrue || running;
  }
  return running;
}

void EndAwaited(Shell* awaited, Steps& steps) {
  if (awaited) steps([&] { awaited->EndAwaited(kStoppedExitCode); });
}

}  // namespace

bool IsDefragmenterBusy(ManagementService& service,
                        const std::string& sWatchedCommandLine) {
  const IntBool watched =
      IsCommandRunning(service, kDefragImage, sWatchedCommandLine);
  const bool engine = IsEngineRunning(service);
  return watched == kTrue || engine;
}

void EndDefragmenters(ManagementService& service, Shell* awaited,
                      const std::string& sWatchedCommandLine) {
  if (IsCommandRunning(service, kDefragImage, sWatchedCommandLine) == kTrue) {
    KillProcessByCommand(service, kDefragImage, sWatchedCommandLine);
  }
  if (IsEngineRunning(service)) {
    // The ending's query names DfrgFat.exe first.
    KillEngines(service, kEngineImages[1], kEngineImages[0]);
  }
  // Last, so that a run the service or its engine's end has ended keeps the
  // exit code it ended with.
  Steps steps;
  EndAwaited(awaited, steps);
}

void EndDefragmentersAtSessionEnd(ProcessList& processes, Shell* awaited) {
  Steps steps;
  for (const char* engine : kEngineImages) {
    steps([&] { processes.EndByImageName(engine, kStoppedExitCode); });
  }
  EndAwaited(awaited, steps);
  const RecordedError& failed = steps.recorded();
  if (failed.IsSet()) throw Failure(failed.number, failed.description);
}

}  // namespace orvane
