#include "platform/win32/native_path.h"

#include <windows.h>

#include "platform/win32/directories_adapter.h"
#include "platform/win32/loader.h"
#include "platform/win32/text_encoding.h"

namespace orvane::win32 {
namespace {

// IsWow64Process came with XP SP2, the redirector functions with 64-bit
// Windows: all three are looked up by name.
constexpr wchar_t kKernel32[] = L"kernel32.dll";
SystemFunction<BOOL(WINAPI*)(HANDLE, PBOOL)> isWow64Process{
    kKernel32, "IsWow64Process", FALSE};
SystemFunction<BOOL(WINAPI*)(PVOID*)> disableRedirector{
    kKernel32, "Wow64DisableWow64FsRedirection", FALSE};
SystemFunction<BOOL(WINAPI*)(PVOID)> revertRedirector{
    kKernel32, "Wow64RevertWow64FsRedirection", FALSE};

bool IsWow64() {
  BOOL wow64 = FALSE;
  return isWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

std::wstring Upper(std::wstring text) {
  if (!text.empty()) {
    CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
  }
  return text;
}

}  // namespace

std::wstring SystemDirectory() {
  return Utf8ToWide(Win32Directories().SystemDirectory());
}

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
  // The way back is found first: with the redirector off, kernel32 could
  // not be loaded from the system directory to look it up.
  if (!off || !revertRedirector.get()) return;
  off_ = disableRedirector(&previous_);
}

RedirectorOff::~RedirectorOff() {
  if (!off_) return;
  const DWORD error = GetLastError();
  revertRedirector(previous_);
  SetLastError(error);
}

}  // namespace orvane::win32
