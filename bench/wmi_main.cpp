// wmi_time.exe: what the busy test costs. Uses the program's own management
// adapter and busy test, so the figures are those of Orvane's code path:
// COM set up as the program does, the service bound afresh by every query.
//
//   wmi_time N
//
// Prints, in milliseconds:
//   cold <ms>     the first busy test of the process (loads the service)
//   busy <ms>     one busy test (three queries), mean over N
//   single <ms>   one "Select Name from Win32_Process Where Name = 'x'"
//                 query, mean over N
// The busy tests and the single queries run in alternating blocks of N/5,
// so that drift touches both alike.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "owned.h"
#include "platform/win32/directories_adapter.h"
#include "platform/win32/management_adapter.h"
#include "platform/win32/scoped_com.h"
#include "process/process_queries.h"
#include "process/wql.h"

namespace {

constexpr int kBlocks = 5;

}  // namespace

int main(int argc, char** argv) {
  const int n = argc == 2 ? std::atoi(argv[1]) : 0;
  if (n < kBlocks) {
    std::fprintf(stderr, "usage: wmi_time N (N >= %d)\n", kBlocks);
    return 1;
  }
  try {
    orvane::win32::ScopedCom com;
    orvane::win32::Win32Directories directories;
    orvane::win32::Win32ManagementService service;
    // As the program builds it for drive C:.
    const std::string watched =
        "\"" + directories.SystemDirectory() + "\\defrag.exe\" C: -f";
    const std::string single =
        "Select Name from Win32_Process Where Name = 'x'";

    bench::Stopwatch coldClock;
    const bool busy = orvane::IsDefragmenterBusy(service, watched);
    const double cold = coldClock.ElapsedMs();
    if (busy) {
      std::fprintf(stderr, "wmi_time: a defragmenter is running\n");
      return 1;
    }
    // The busy test answers "no" when a query fails; run its three query
    // texts once directly, where a failure throws, so that a broken service
    // cannot pass for a fast one.
    service.ExecQuery(orvane::CommandLineQuery(orvane::kDefragImage, watched,
                                               /*withHandle=*/false));
    for (const char* engine : orvane::kEngineImages)
      service.ExecQuery(orvane::ProcessNameQuery(engine));
    service.ExecQuery(single);

    const int perBlock = n / kBlocks;
    double busyMs = 0;
    double singleMs = 0;
    for (int block = 0; block < kBlocks; ++block) {
      bench::Stopwatch busyClock;
      for (int i = 0; i < perBlock; ++i)
        orvane::IsDefragmenterBusy(service, watched);
      busyMs += busyClock.ElapsedMs();

      bench::Stopwatch singleClock;
      for (int i = 0; i < perBlock; ++i) {
        if (!service.ExecQuery(single).empty()) {
          std::fprintf(stderr, "wmi_time: a process named x runs\n");
          return 1;
        }
      }
      singleMs += singleClock.ElapsedMs();
    }
    const int total = perBlock * kBlocks;
    std::printf("cold %.2f\nbusy %.2f\nsingle %.2f\n", cold, busyMs / total,
                singleMs / total);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "wmi_time: %s\n", e.what());
    return 1;
  }
}
