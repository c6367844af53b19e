#pragma once
// Port: the management service's view of running processes.

#include <memory>
#include <string>
#include <vector>

namespace orvane {

// One process that a query found.
class ManagedProcess {
 public:
  virtual ~ManagedProcess() = default;

  // Ends the process with exit code 1, without waiting for it to end.
  // Needs the query to have selected Handle. Throws Failure when the process
  // cannot be ended (it has gone already, or access is refused).
  virtual void Terminate() = 0;
};

using ProcessCollection = std::vector<std::unique_ptr<ManagedProcess>>;

class ManagementService {
 public:
  virtual ~ManagementService() = default;

  // Binds the local machine's default namespace afresh, runs the WQL `query`
  // over Win32_Process and answers every process it matched, in the order
  // the service yields them. Throws Failure when the service cannot be bound
  // or the query fails (a malformed query text among others).
  virtual ProcessCollection ExecQuery(const std::string& query) = 0;
};

}  // namespace orvane
