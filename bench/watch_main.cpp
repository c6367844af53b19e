// watch.exe: times and measures other programs from inside Wine, so that
// neither Wine's start-up nor the Unix side's clock enters the figures.
//
//   watch exit REPS CMD...
//       Starts each CMD in turn, round after round, REPS rounds after one
//       unprinted warm-up round, and prints "<label> <ms> <exit code>" per
//       run, labels A, B, C... in the order given: the time from
//       CreateProcess to the end of the process.
//   watch window REPS TITLE CMD [TITLE CMD]...
//       The same, but each run ends when a visible top-level window of the
//       started process has the title TITLE (polled every millisecond); the
//       process is then terminated. Prints "<label> <ms>".
//   watch peak REPS CMD
//       Runs CMD REPS times and prints "peak <bytes> <samples>" per run: the
//       largest PeakWorkingSetSize that GetProcessMemoryInfo gave on the
//       process handle, read every 2 ms while it ran and once after its end.
//
// Interleaving the programs makes drift on a busy machine touch them alike.
// Command lines are given whole, one argument each. Exit code 0, or 1 with a
// message on stderr.

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "owned.h"

namespace {

// Between two runs: lets the previous process's clean-up (the wineserver's,
// the X server's) finish before the next clock starts.
constexpr DWORD kSettleMs = 300;
constexpr DWORD kWindowTimeoutMs = 30000;

[[noreturn]] void Die(const wchar_t* what, const std::wstring& detail) {
  std::fwprintf(stderr, L"watch: %ls %ls (error %lu)\n", what, detail.c_str(),
                GetLastError());
  ExitProcess(1);
}

bench::StartedProcess Start(const std::wstring& commandLine) {
  std::wstring mutableLine = commandLine;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(/*lpApplicationName=*/nullptr, mutableLine.data(),
                      /*lpProcessAttributes=*/nullptr,
                      /*lpThreadAttributes=*/nullptr,
                      /*bInheritHandles=*/FALSE, /*dwCreationFlags=*/0,
                      /*lpEnvironment=*/nullptr,
                      /*lpCurrentDirectory=*/nullptr, &startup, &info)) {
    Die(L"cannot start", commandLine);
  }
  bench::StartedProcess started;
  started.process = bench::OwnedHandle(info.hProcess);
  started.thread = bench::OwnedHandle(info.hThread);
  started.id = info.dwProcessId;
  return started;
}

struct ExitRun {
  double ms;
  DWORD exitCode;
};

ExitRun TimeToExit(const std::wstring& commandLine) {
  bench::Stopwatch clock;
  bench::StartedProcess started = Start(commandLine);
  WaitForSingleObject(started.process.get(), INFINITE);
  ExitRun run{clock.ElapsedMs(), 0};
  GetExitCodeProcess(started.process.get(), &run.exitCode);
  return run;
}

// A visible top-level window titled `title` that belongs to process `id`.
bool HasVisibleWindow(const wchar_t* title, DWORD id) {
  HWND window = nullptr;
  while ((window = FindWindowExW(/*hWndParent=*/nullptr, window,
                                 /*lpszClass=*/nullptr, title)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == id && IsWindowVisible(window)) return true;
  }
  return false;
}

double TimeToWindow(const wchar_t* title, const std::wstring& commandLine) {
  bench::Stopwatch clock;
  bench::StartedProcess started = Start(commandLine);
  double ms = -1;
  for (;;) {
    if (HasVisibleWindow(title, started.id)) {
      ms = clock.ElapsedMs();
      break;
    }
    if (WaitForSingleObject(started.process.get(), /*dwMilliseconds=*/1) !=
        WAIT_TIMEOUT) {
      Die(L"ended without a visible window:", commandLine);
    }
    if (clock.ElapsedMs() > kWindowTimeoutMs) {
      TerminateProcess(started.process.get(), 1);
      Die(L"no visible window in time:", commandLine);
    }
  }
  TerminateProcess(started.process.get(), 0);
  WaitForSingleObject(started.process.get(), INFINITE);
  return ms;
}

struct PeakRun {
  SIZE_T peakBytes = 0;
  int samples = 0;  // readings that succeeded
};

void Sample(HANDLE process, PeakRun& run) {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  if (GetProcessMemoryInfo(process, &counters, sizeof counters)) {
    ++run.samples;
    if (counters.PeakWorkingSetSize > run.peakBytes)
      run.peakBytes = counters.PeakWorkingSetSize;
  }
}

PeakRun MeasurePeak(const std::wstring& commandLine) {
  bench::StartedProcess started = Start(commandLine);
  PeakRun run;
  while (WaitForSingleObject(started.process.get(), /*dwMilliseconds=*/2) ==
         WAIT_TIMEOUT) {
    Sample(started.process.get(), run);
  }
  // Windows still answers for an ended process whose handle is open.
  Sample(started.process.get(), run);
  return run;
}

int Reps(const wchar_t* text) {
  int reps = _wtoi(text);
  if (reps < 1 || reps > 1000) Die(L"bad repetition count", text);
  return reps;
}

int Usage() {
  std::fwprintf(stderr,
                L"usage: watch exit REPS CMD...\n"
                L"       watch window REPS TITLE CMD [TITLE CMD]...\n"
                L"       watch peak REPS CMD\n");
  return 1;
}

wchar_t Label(int index) { return static_cast<wchar_t>(L'A' + index); }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) return Usage();
  const std::wstring mode = argv[1];
  const int reps = Reps(argv[2]);
  constexpr int kFirst = 3;  // the first command's argument
  const int given = argc - kFirst;

  if (mode == L"exit" && given <= 26) {
    for (int round = 0; round <= reps; ++round) {
      for (int i = 0; i < given; ++i) {
        const ExitRun run = TimeToExit(argv[kFirst + i]);
        Sleep(kSettleMs);
        if (round == 0) continue;  // warm-up
        std::wprintf(L"%lc %.1f %ld\n", Label(i), run.ms,
                     static_cast<long>(run.exitCode));
        std::fflush(stdout);
      }
    }
    return 0;
  }
  if (mode == L"window" && given % 2 == 0 && given / 2 <= 26) {
    for (int round = 0; round <= reps; ++round) {
      for (int i = 0; i < given / 2; ++i) {
        const double ms =
            TimeToWindow(argv[kFirst + 2 * i], argv[kFirst + 2 * i + 1]);
        Sleep(kSettleMs);
        if (round == 0) continue;  // warm-up
        std::wprintf(L"%lc %.1f\n", Label(i), ms);
        std::fflush(stdout);
      }
    }
    return 0;
  }
  if (mode == L"peak" && given == 1) {
    for (int i = 0; i < reps; ++i) {
      const PeakRun run = MeasurePeak(argv[kFirst]);
      Sleep(kSettleMs);
      std::wprintf(L"peak %lu %d\n", static_cast<unsigned long>(run.peakBytes),
                   run.samples);
      std::fflush(stdout);
    }
    return 0;
  }
  return Usage();
}
