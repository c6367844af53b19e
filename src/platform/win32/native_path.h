#pragma once
// The real system directory for a 32-bit process on 64-bit Windows (WOW64).
// There the file-system redirector shows such a process SysWOW64 wherever
// it names the system directory, and SysWOW64 holds no defrag.exe. The
// program still names the system directory as GetSystemDirectory does (in
// messages and command lines, which the busy test and Stop compare); only
// the file operations on a program there reach the real directory.

#include <string>

namespace orvane::win32 {

// The system directory as the program names it, without a trailing
// backslash; "" when unknown.
std::wstring SystemDirectory();

// True when `path` lies in the system directory (as GetSystemDirectory
// names it, compared without regard to letter case).
bool IsInSystemDirectory(const std::wstring& path);

// How this process reaches `path`: in a WOW64 process, a path in the system
// directory becomes the same path under %SystemRoot%\Sysnative, the alias
// through which a 32-bit process sees the real system directory; where that
// alias does not exist (64-bit Windows XP and Server 2003 without update
// KB942589) the path stays as it is and the redirector must be turned off
// around the one call. Every other path, and every path outside WOW64, is
// reached as it is.
struct NativeRoute {
  std::wstring path;
  bool redirectorOff = false;
};
NativeRoute RouteToNative(const std::wstring& path);

// Turns the file-system redirector off for the calling thread while it
// lives, when `off`; puts it back (keeping the thread's last error) when it
// goes. Only around calls that load no DLL: with the redirector off, a
// 32-bit DLL would be looked for among the 64-bit ones.
class RedirectorOff {
 public:
  explicit RedirectorOff(bool off);
  ~RedirectorOff();
  RedirectorOff(const RedirectorOff&) = delete;
  RedirectorOff& operator=(const RedirectorOff&) = delete;

 private:
  void* previous_ = nullptr;
  bool off_ = false;
};

// Calls `operation` with the path by which this process reaches `path`
// (RouteToNative), with the redirector off when that route needs it, and
// answers what `operation` answers.
template <class Operation>
auto WithNativePath(const std::wstring& path, Operation operation) {
  const NativeRoute route = RouteToNative(path);
  RedirectorOff redirector(route.redirectorOff);
  return operation(route.path);
}

}  // namespace orvane::win32
