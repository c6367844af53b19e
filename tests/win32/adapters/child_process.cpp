#include "child_process.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "scratch_directory.h"

namespace orvane::win32::testing {

std::wstring ChildProgram() {
  return ProgramDirectory() + L"\\adapter_test_child.exe";
}

UniqueProcess StartDirectly(const std::wstring& program,
                            const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + program + L"\" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  if (!CreateProcessW(program.c_str(), commandLine.data(),
                      /*lpProcessAttributes=*/nullptr,
                      /*lpThreadAttributes=*/nullptr,
                      /*bInheritHandles=*/FALSE, /*dwCreationFlags=*/0,
                      /*lpEnvironment=*/nullptr,
                      /*lpCurrentDirectory=*/nullptr, &startup, &started)) {
    ADD_FAILURE() << "CreateProcess failed: " << GetLastError();
    return UniqueProcess();
  }
  UniqueThread thread(started.hThread);
  return UniqueProcess(started.hProcess);
}

long long ExitCodeAfter(const UniqueProcess& process, unsigned milliseconds) {
  if (WaitForSingleObject(process.get(), milliseconds) != WAIT_OBJECT_0) {
    return -2;
  }
  DWORD code = 0;
  GetExitCodeProcess(process.get(), &code);
  return code;
}

}  // namespace orvane::win32::testing
