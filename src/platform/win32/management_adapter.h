#pragma once
// The management service on Win32: WMI through COM, namespace ROOT\CIMV2.
//
// What Wine 8 answers differs from Windows, and the tests show it:
// - Queries on Win32_Process by Name work, case-insensitively, with any
//   blanks between words ("Or  Name").
// - CommandLine is empty for every process but the caller's own, so a
//   query on another process's CommandLine finds nothing.
// - String literals know no escapes: "\\" stays two backslashes and "\'"
//   makes the query malformed (WBEM_E_INVALID_QUERY).
// - A class that does not exist gives an empty result, not an error.
// - __PATH is empty unless the query selects every property ("Select *");
//   Windows fills it whenever the key, Handle, is selected.
// - Win32_Process has no Terminate method (GetMethod: WBEM_E_NOT_FOUND,
//   ExecMethod: WBEM_E_INVALID_METHOD); the process is then ended with
//   TerminateProcess instead, with the same exit code.

#include <windows.h>
#include <wbemcli.h>

#include <string>

#include "platform/management.h"
#include "platform/win32/resource.h"
#include "platform/win32/scoped_com.h"

namespace orvane::win32 {

class Win32ManagementService : public ManagementService {
 public:
  // `com` is set up before the first query; without it, the caller has set
  // COM up on the calling thread already (ScopedCom).
  explicit Win32ManagementService(ComOnFirstUse* com = nullptr) : com_(com) {}

  ProcessCollection ExecQuery(const std::string& query) override;

 private:
  ComOnFirstUse* com_;
};

// One process that a query found, with the binding of that query.
class Win32ManagedProcess : public ManagedProcess {
 public:
  Win32ManagedProcess(ComPtr<IWbemServices> services, std::wstring path,
                      std::wstring handle);

  // Win32_Process.Terminate with Reason 1 (the exit code), through the
  // object's __PATH, or a path built from Handle when the service gave
  // none. Where the service lacks the method, opens the process by its id
  // and ends it with TerminateProcess(1). Throws Failure when the query did
  // not select Handle, when the service refuses (its ReturnValue is not 0)
  // and when the process has gone.
  void Terminate() override;

  // The object's __PATH ("" when the service gave none) and its Handle, the
  // process id as text ("" when the query did not select it).
  const std::wstring& path() const { return path_; }
  const std::wstring& handle() const { return handle_; }

 private:
  // S_OK when the service ended the process, or the HRESULT by which it
  // said it has no Terminate method; throws Failure on any other failure.
  HRESULT TerminateThroughService(const std::wstring& objectPath);

  ComPtr<IWbemServices> services_;
  std::wstring path_;
  std::wstring handle_;
};

}  // namespace orvane::win32
