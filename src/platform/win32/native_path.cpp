#include "platform/win32/native_path.h"

#include <windows.h>

#include "platform/win32/directories_adapter.h"
#include "platform/win32/kernel32_function.h"
#include "platform/win32/text_encoding.h"

namespace orvane::win32 {
namespace {

// IsWow64Process came with XP SP2, the redirector functions with 64-bit
// Windows: all three are looked up by name.
bool IsWow64() {
  using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
  const auto isWow64Process =
      Kernel32Function<IsWow64ProcessFn>("IsWow64Process");
  BOOL wow64 = FALSE;
  return isWow64Process && isWow64Process(GetCurrentProcess(), &wow64) &&
         wow64;
}

// The system directory as the program names it, without a trailing
// backslash; "" when unknown.
std::wstring SystemDirectory() {
  return Utf8ToWide(Win32Directories().SystemDirectory());
}

std::wstring Upper(std::wstring text) {
  if (!text.empty()) {
    CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
  }
  return text;
}

}  // namespace

bool IsInSystemDirectory(const std::wstring& path) {
  const std::wstring dir = SystemDirectory();
  if (dir.empty() || path.size() <= dir.size() + 1 ||
      path[dir.size()] != L'\\') {
    return false;
  }
  return Upper(path.substr(0, dir.size())) == Upper(dir);
}

NativeRoute RouteToNative(const std::wstring& path) {
  if (!IsWow64() || !IsInSystemDirectory(path)) return {path, false};
  // %SystemRoot%\system32\x -> %SystemRoot%\Sysnative\x
  const std::wstring dir = SystemDirectory();
  const std::size_t root = dir.rfind(L'\\');
  if (root == std::wstring::npos) return {path, true};
  const std::wstring sysnative = dir.substr(0, root) + L"\\Sysnative";
  if (GetFileAttributesW(sysnative.c_str()) == INVALID_FILE_ATTRIBUTES) {
    return {path, true};
  }
  return {sysnative + path.substr(dir.size()), false};
}

RedirectorOff::RedirectorOff(bool off) {
  if (!off) return;
  using DisableFn = BOOL(WINAPI*)(PVOID*);
  const auto disable =
      Kernel32Function<DisableFn>("Wow64DisableWow64FsRedirection");
  off_ = disable && disable(&previous_);
}

RedirectorOff::~RedirectorOff() {
  if (!off_) return;
  using RevertFn = BOOL(WINAPI*)(PVOID);
  const auto revert =
      Kernel32Function<RevertFn>("Wow64RevertWow64FsRedirection");
  const DWORD error = GetLastError();
  if (revert) revert(previous_);
  SetLastError(error);
}

}  // namespace orvane::win32
