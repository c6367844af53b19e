#pragma once
// In-memory fakes of the outside services, for tests of the logic.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/directories.h"
#include "platform/drives.h"
#include "platform/event_log.h"
#include "platform/failure.h"
#include "platform/file_probe.h"
#include "platform/management.h"
#include "platform/message_dialog.h"
#include "platform/message_wait.h"
#include "platform/previous_instance.h"
#include "platform/process_list.h"
#include "platform/shell.h"
#include "platform/text_file.h"

namespace orvane::fakes {

class FakeDirectories : public Directories {
 public:
  std::string system = "C:\\WINDOWS\\system32";
  std::string windows = "C:\\WINDOWS";
  std::string SystemDirectory() override { return system; }
  std::string WindowsDirectory() override { return windows; }
  std::string exposedFolder;
  std::string ExposedProgramFolder() noexcept override { return exposedFolder; }
};

// Files by path, with their bytes; hidden ones are listed apart.
class FakeFiles : public FileProbe, public TextAppender {
 public:
  std::map<std::string, std::string> contents;
  std::set<std::string> hidden;
  std::set<std::string> locked;  // Append fails and writes nothing
  bool probeFails = false;

  bool IsOrdinaryFile(const std::string& path) override {
    if (probeFails) throw Failure(-2147024875, "The device is not ready.");
    return contents.count(path) != 0 && hidden.count(path) == 0;
  }

  void Append(const std::string& path, const std::string& text) override {
    if (locked.count(path)) {
      throw Failure(-2147024864,
                    "The process cannot access the file because it is being "
                    "used by another process.");
    }
    contents[path] += text;
    ++appends;
  }

  int appends = 0;
};

class FakeDrives : public Drives {
 public:
  std::vector<DriveInfo> drives;
  // Called before each enumeration with its 0-based number; may change
  // `drives` (a drive appears) or throw.
  std::function<void(int)> beforeEnumerate;

  std::vector<DriveInfo> Enumerate() override {
    if (beforeEnumerate) beforeEnumerate(enumerations);
    ++enumerations;
    return drives;
  }

  int enumerations = 0;
};

struct ShellCall {
  std::string program;
  std::string arguments;
  int style;
  bool wait;
};

// Runs nothing: answers exit codes by the argument text's drive, and can do
// something "while waiting", as a user pressing Stop would.
class FakeShell : public Shell {
 public:
  explicit FakeShell(class FakeShellFactory& factory) : factory_(factory) {}
  std::int32_t Run(const std::string& program, const std::string& arguments,
                   int style, bool wait) override;
  bool AwaitEnd(int timeoutMs, std::int32_t& exitCode) override;
  void StopWaiting() override;
  void EndAwaited(std::int32_t exitCode) override;
  bool released = false;
  ~FakeShell() override;

 private:
  class FakeShellFactory& factory_;
  std::string waitingFor_;  // the drive whose Run waits now
};

class FakeShellFactory : public ShellFactory {
 public:
  std::vector<ShellCall> calls;
  std::map<std::string, std::int32_t> exitCodes;  // by drive ("D:"); else 0
  std::set<std::string> cannotStart;              // drives whose Run throws
  std::function<void(const ShellCall&)> whileWaiting;
  std::set<std::string> runOn;  // drives whose program runs until ended
  bool endFails = false;        // EndAwaited throws
  std::vector<int> awaited;     // AwaitEnd's timeouts
  int waitsStopped = 0;         // StopWaiting's calls
  bool createFails = false;
  int created = 0;
  int alive = 0;

  std::shared_ptr<Shell> Create() override {
    if (createFails) {
      throw Failure(-2147221005, "Invalid class string");
    }
    ++created;
    ++alive;
    return std::make_shared<FakeShell>(*this);
  }
};

inline FakeShell::~FakeShell() { --factory_.alive; }

inline std::int32_t FakeShell::Run(const std::string& program,
                                   const std::string& arguments, int style,
                                   bool wait) {
  ShellCall call{program, arguments, style, wait};
  factory_.calls.push_back(call);
  const std::string drive = arguments.substr(0, arguments.find(' '));
  if (factory_.cannotStart.count(drive)) {
    throw Failure(-2147024894, "The system cannot find the file specified.");
  }
  const std::string outer = waitingFor_;
  waitingFor_ = drive;
  if (factory_.whileWaiting) factory_.whileWaiting(call);
  waitingFor_ = outer;
  auto code = factory_.exitCodes.find(drive);
  return code == factory_.exitCodes.end() ? 0 : code->second;
}

inline bool FakeShell::AwaitEnd(int timeoutMs, std::int32_t& exitCode) {
  factory_.awaited.push_back(timeoutMs);
  if (waitingFor_.empty() || factory_.runOn.count(waitingFor_)) return false;
  auto code = factory_.exitCodes.find(waitingFor_);
  exitCode = code == factory_.exitCodes.end() ? 0 : code->second;
  return true;
}

inline void FakeShell::StopWaiting() { ++factory_.waitsStopped; }

inline void FakeShell::EndAwaited(std::int32_t exitCode) {
  if (factory_.endFails) throw Failure(-2147024891, "Access is denied.");
  if (factory_.runOn.erase(waitingFor_)) {
    factory_.exitCodes[waitingFor_] = exitCode;
  }
}

// A process table that answers the program's query shapes: literals are
// read back with their escapes undone, and every Name/CommandLine condition
// must hold (Or joins alternatives of Name). The process list ends the
// same table's processes by name, service or not.
class FakeManagement : public ManagementService, public ProcessList {
 public:
  struct Process {
    std::string name;
    std::string commandLine;
    bool ended = false;
    bool refusesToEnd = false;
    std::function<void()> onEnd = nullptr;  // what ending it sets off
  };

  std::vector<Process> processes;
  std::vector<std::string> queries;
  bool unavailable = false;
  std::function<void()> onQuery;  // runs inside each query, as messages do

  ProcessCollection ExecQuery(const std::string& query) override;
  void EndByImageName(const std::string& imageName, std::int32_t) override {
    for (Process& p : processes) {
      if (p.name == imageName && !p.ended) End(p);
    }
  }
  static void End(Process& p) {
    p.ended = true;
    if (p.onEnd) p.onEnd();
  }
};

class FakeClock : public Clock {
 public:
  LocalTime now{2026, 12, 7, 6, 46, 13};
  // Called at each reading; may move the clock on.
  std::function<void(LocalTime&)> onRead;

  LocalTime Now() override {
    if (onRead) onRead(now);
    return now;
  }
  // The shapes of US regional settings: M/D/YYYY and H:MM:SS AM.
  std::string ShortDate(const LocalTime& t) override {
    return std::to_string(t.month) + "/" + std::to_string(t.day) + "/" +
           std::to_string(t.year);
  }
  std::string LongTime(const LocalTime& t) override {
    int h = t.hour % 12 == 0 ? 12 : t.hour % 12;
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d:%02d %s", h, t.minute, t.second,
                  t.hour < 12 ? "AM" : "PM");
    return text;
  }
};

class FakeDialogs : public MessageDialog {
 public:
  struct Shown {
    std::string text;
    int style;
    std::string title;
    std::uint32_t eventId;
  };
  std::vector<Shown> shown;
  void Show(std::uint32_t eventId, const std::string& text, int style,
            const std::string& title) override {
    shown.push_back({text, style, title, eventId});
  }
};

class FakeEventLog : public EventLog {
 public:
  struct Event {
    EventType type;
    std::uint32_t id;
    std::vector<std::string> inserts;
  };
  std::vector<Event> written;
  void Write(EventType type, std::uint32_t id,
             const std::vector<std::string>& inserts) noexcept override {
    written.push_back({type, id, inserts});
  }
};

// Each message runs `onMessage`, as a handler would.
struct FakeMessageWait : MessageWait {
  std::function<void()> onMessage = [] { throw Failure(-1, "no message"); };
  int waits = 0;
  void HandleUntil(const std::function<bool()>& done) override {
    ++waits;
    while (!done()) onMessage();
  }
};

class FakePreviousInstance : public PreviousInstance {
 public:
  OtherInstance found = OtherInstance::kNone;
  OtherInstance Find() override { return found; }
};

}  // namespace orvane::fakes
