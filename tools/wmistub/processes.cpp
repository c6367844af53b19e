#include "processes.h"

#include <tlhelp32.h>
#include <winternl.h>

#include <cstddef>

#include "owned_handle.h"

namespace wmistub {
namespace {

using simdefrag::OwnedHandle;

template <class T>
bool ReadFrom(HANDLE process, const void* address, T* value) {
  SIZE_T read = 0;
  return ReadProcessMemory(process, address, value, sizeof *value, &read) &&
         read == sizeof *value;
}

// The command line in the process environment block of process `id`.
std::optional<std::wstring> ReadCommandLine(DWORD id) {
  OwnedHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ,
                                  /*bInheritHandle=*/FALSE, id));
  if (!process.valid()) return std::nullopt;
  BOOL ownWow64 = FALSE;
  BOOL theirWow64 = FALSE;
  if (!IsWow64Process(GetCurrentProcess(), &ownWow64) ||
      !IsWow64Process(process.get(), &theirWow64) || ownWow64 != theirWow64)
    return std::nullopt;  // its block is laid out for another architecture
  PROCESS_BASIC_INFORMATION basic = {};
  if (NtQueryInformationProcess(process.get(), ProcessBasicInformation,
                                &basic, sizeof basic,
                                /*ReturnLength=*/nullptr) != 0 ||
      basic.PebBaseAddress == nullptr)
    return std::nullopt;
  const auto* peb = reinterpret_cast<const BYTE*>(basic.PebBaseAddress);
  PRTL_USER_PROCESS_PARAMETERS parameters = nullptr;
  UNICODE_STRING commandLine = {};
  if (!ReadFrom(process.get(), peb + offsetof(PEB, ProcessParameters),
                &parameters) ||
      parameters == nullptr ||
      !ReadFrom(process.get(),
                reinterpret_cast<const BYTE*>(parameters) +
                    offsetof(RTL_USER_PROCESS_PARAMETERS, CommandLine),
                &commandLine))
    return std::nullopt;
  std::wstring text(commandLine.Length / sizeof(wchar_t), L'\0');
  SIZE_T read = 0;
  if (!text.empty() &&
      (!ReadProcessMemory(process.get(), commandLine.Buffer, text.data(),
                          commandLine.Length, &read) ||
       read != commandLine.Length))
    return std::nullopt;
  return text;
}

}  // namespace

std::vector<ProcessInfo> LiveProcesses() {
  std::vector<ProcessInfo> processes;
  OwnedHandle snapshot(
      CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, /*th32ProcessID=*/0));
  if (!snapshot.valid()) return processes;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    ProcessInfo info;
    info.id = entry.th32ProcessID;
    info.name = entry.szExeFile;
    info.commandLine = ReadCommandLine(info.id);
    processes.push_back(std::move(info));
  }
  return processes;
}

std::optional<ProcessInfo> FindProcess(DWORD id) {
  for (ProcessInfo& process : LiveProcesses())
    if (process.id == id) return std::move(process);
  return std::nullopt;
}

LONG TerminateProcessFor(DWORD id, UINT reason) {
  OwnedHandle process(
      OpenProcess(PROCESS_TERMINATE, /*bInheritHandle=*/FALSE, id));
  if (!process.valid() || !TerminateProcess(process.get(), reason))
    return GetLastError() == ERROR_ACCESS_DENIED ? 2 : 8;
  return 0;
}

}  // namespace wmistub
