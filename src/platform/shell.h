#pragma once
// Port: the shell object, which starts programs and opens documents.

#include <cstdint>
#include <memory>
#include <string>

namespace orvane {

// Window styles, as the shell object numbers them.
constexpr int kStyleHidden = 0;
constexpr int kStyleMaximized = 3;

class Shell {
 public:
  virtual ~Shell() = default;

  // Starts `program` (a full path: a program, or a document opened with the
  // program associated with its type) with `arguments`, in a window of
  // `windowStyle`. The started process's command line is exactly
  //   "<program>" <arguments>
  // with the program's path in double quotes; the path is never parsed out
  // of a command line. With `wait`, returns only when the process has ended
  // and answers its exit code (signed); window messages are handled
  // meanwhile, so handlers may run nested inside this call. Without `wait`,
  // or when no process was started for a document, answers 0.
  // Throws Failure when the program cannot be started.
  virtual std::int32_t Run(const std::string& program,
                           const std::string& arguments, int windowStyle,
                           bool wait) = 0;

  // For a handler that runs nested inside a waiting Run on this object:
  // waits up to `timeoutMs` for the process that Run waits for to end,
  // handling no messages meanwhile, and stores its exit code. Answers false
  // when no Run waits or the process has not ended in time.
  // Throws Failure when the process cannot be waited for.
  virtual bool AwaitEnd(int timeoutMs, std::int32_t& exitCode) = 0;

  // For a handler that runs nested inside a waiting Run on this object:
  // makes every Run on this object that waits return once the handlers
  // nested in it have returned, answering 0, while its process runs on.
  // Does nothing when no Run waits. Never throws.
  virtual void StopWaiting() = 0;

  // For a handler that runs nested inside a waiting Run on this object:
  // ends the process that Run waits for with `exitCode`, without waiting
  // for it to end. Nothing when no Run waits or the process has ended
  // already (its own exit code stands).
  // Throws Failure when the process cannot be ended.
  virtual void EndAwaited(std::int32_t exitCode) = 0;
};

class ShellFactory {
 public:
  virtual ~ShellFactory() = default;

  // A new shell object. Throws Failure when the platform cannot create one.
  virtual std::shared_ptr<Shell> Create() = 0;
};

}  // namespace orvane
