// winpeek.exe: tells end-to-end tests what the windows of a Wine session
// look like from inside, where X11 tools cannot see (control texts, enabled
// states, the frame that a bare X server does not draw).
//
//   winpeek.exe list <title>    every top-level window titled exactly
//                               <title>, each followed by its controls;
//                               exit code 1 when there is none
//   winpeek.exe close <title>   posts WM_CLOSE to each such window
//   winpeek.exe endsession <title>  sends each such window WM_QUERYENDSESSION
//                               and WM_ENDSESSION(TRUE), ENDSESSION_CLOSEAPP,
//                               as the Restart Manager does: it ends nothing;
//                               prints "handled in <ms> ms" for the latter
//   winpeek.exe endsession <title> <ms> yes|no|close|none   the query; <ms>
//                               later, each defrag.exe ended with 0xC000013A,
//                               then the end (yes|no) or WM_CLOSE; none: no more
//   winpeek.exe syscommand <title> minimize|restore
//                               posts that WM_SYSCOMMAND to each such window,
//                               as its title bar buttons would
//   winpeek.exe click <title> <control text>
//                               posts BM_CLICK to each such control of each
//                               such window, as accessibility tools click a
//                               button (also in a minimized window)
//   winpeek.exe hittest <x> <y>
//                               "<title> <code>": the top-level window at
//                               screen point x,y and its WM_NCHITTEST answer
//                               there (HTLEFT 10 ... HTBOTTOMRIGHT 17)
//   winpeek.exe lock <path> [<ms>]  opens <path> (created when missing) with
//                               no sharing, prints "locked" and holds it until
//                               killed (exit code 1 when it cannot); with <ms>,
//                               shares reading, as a viewer does, for <ms>
//   winpeek.exe mutex|event <name> <SDDL>  creates that object with that
//                               security descriptor; prints "held", holds it
//   winpeek.exe exists <path>   "exists" or "absent", as this program sees
//                               <path> (a 32-bit winpeek through the
//                               file-system redirector)
//   winpeek.exe modules <title> the file name of each module loaded in
//                               the process of each such window, a line
//                               each, lower-cased
//   winpeek.exe screen          the screen size in pixels
//   winpeek.exe drives          each drive as "<letter>: <type number>"
//   winpeek.exe ps              each running process as "<pid> <image name>"
//   winpeek.exe end|suspend|resume <name>  ends, suspends or resumes each
//                               process of image <name>; exit code 1 when
//                               there is none
//   winpeek.exe cmdline <name>  the command line that the management service
//                               reports for each process of image <name>,
//                               "(null)" where it reports none
//   winpeek.exe spawn <program> [<argument>...]
//                               starts <program> with the command line
//                               "<program>" <argument> ... (the path in
//                               double quotes, as the shell starts programs),
//                               prints "pid=<pid>" and does not wait
//   winpeek.exe unseen <seconds> <program> [<argument>...]
//                               the same on a window station and desktop
//                               of its own, which no one sees; waits up to
//                               <seconds> and prints "exit=<code>", or ends
//                               the program and prints "timeout"
//
// Output lines (texts with \r, \n, \t and \\ escaped):
//   window class=<c> title=<t> visible=0|1 iconic=0|1 enabled=0|1
//          rect=<l>,<t>,<r>,<b> client=<w>x<h> pid=<pid> active=0|1
//   control class=<c> text=<t> visible=0|1 enabled=0|1 rect=<l>,<t>,<w>,<h>
//           focused=0|1
// where active=1 marks the foreground window, a control's rect is relative
// to its window's client area, and focused=1 marks the control that has its
// thread's keyboard focus (no control has it while the window is inactive).

#include <windows.h>
#include <tlhelp32.h>
#include <wbemidl.h>
#include <sddl.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

#include "owned_handle.h"

namespace {

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  int length = WideCharToMultiByte(CP_UTF8, 0, text.data(),
                                   static_cast<int>(text.size()), nullptr, 0,
                                   /*lpDefaultChar=*/nullptr,
                                   /*lpUsedDefaultChar=*/nullptr);
  std::string out(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                      out.data(), length, /*lpDefaultChar=*/nullptr,
                      /*lpUsedDefaultChar=*/nullptr);
  return out;
}

std::string Escaped(const std::wstring& text) {
  std::string out;
  for (char c : Utf8(text)) {
    switch (c) {
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\\': out += "\\\\"; break;
      default: out += c;
    }
  }
  return out;
}

std::wstring TextOf(HWND window) {
  int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(copied));
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  int length = GetClassNameW(window, name, 256);
  return std::wstring(name, static_cast<size_t>(length));
}

struct Search {
  std::wstring title;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  if (search->title == L"*" || TextOf(window) == search->title)  // * : all
    search->found.push_back(window);
  return TRUE;
}

// The window that has the keyboard focus in `window`'s thread, from any
// process; nullptr when none has it or the thread cannot be asked.
HWND FocusOf(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  DWORD thread = GetWindowThreadProcessId(window, /*lpdwProcessId=*/nullptr);
  if (thread == 0 || !GetGUIThreadInfo(thread, &info)) return nullptr;
  return info.hwndFocus;
}

// A control's text as the control itself answers it: edit controls keep
// their text where GetWindowText cannot see it from another process.
std::wstring ControlTextOf(HWND control) {
  wchar_t text[1024] = {};
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(control, WM_GETTEXT, 1024,
                           reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                           /*uTimeout=*/3000, &copied))
    return TextOf(control);
  return std::wstring(text, static_cast<size_t>(copied));
}

BOOL CALLBACK PrintControl(HWND control, LPARAM lParam) {
  HWND parent = reinterpret_cast<HWND>(lParam);
  if (GetParent(control) != parent) return TRUE;  // direct children only
  RECT rect = {};
  GetWindowRect(control, &rect);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
  std::printf("control class=%s text=%s visible=%d enabled=%d "
              "rect=%ld,%ld,%ld,%ld focused=%d\n",
              Escaped(ClassOf(control)).c_str(),
              Escaped(ControlTextOf(control)).c_str(),
              IsWindowVisible(control) ? 1 : 0,
              IsWindowEnabled(control) ? 1 : 0, rect.left, rect.top,
              rect.right - rect.left, rect.bottom - rect.top,
              FocusOf(parent) == control ? 1 : 0);
  return TRUE;
}

struct ControlSearch {
  HWND parent;
  std::wstring text;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectControl(HWND control, LPARAM lParam) {
  auto* search = reinterpret_cast<ControlSearch*>(lParam);
  if (GetParent(control) == search->parent && TextOf(control) == search->text)
    search->found.push_back(control);
  return TRUE;
}

void PrintWindow(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  RECT client = {};
  GetClientRect(window, &client);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  std::printf("window class=%s title=%s visible=%d iconic=%d enabled=%d "
              "rect=%ld,%ld,%ld,%ld client=%ldx%ld pid=%lu active=%d\n",
              Escaped(ClassOf(window)).c_str(),
              Escaped(TextOf(window)).c_str(),
              IsWindowVisible(window) ? 1 : 0, IsIconic(window) ? 1 : 0,
              IsWindowEnabled(window) ? 1 : 0, rect.left, rect.top,
              rect.right, rect.bottom, client.right, client.bottom,
              static_cast<unsigned long>(pid),
              GetForegroundWindow() == window ? 1 : 0);
  EnumChildWindows(window, PrintControl, reinterpret_cast<LPARAM>(window));
}

std::vector<HWND> FindTopLevel(const std::wstring& title) {
  Search search{title, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Starts `commandLine` (on `desktop`, when given); false, with a word on
// stderr, when it cannot be started.
bool Start(std::wstring commandLine, DWORD flags, wchar_t* desktop,
           PROCESS_INFORMATION& info) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.lpDesktop = desktop;
  if (!CreateProcessW(/*lpApplicationName=*/nullptr, commandLine.data(),
                      /*lpProcessAttributes=*/nullptr,
                      /*lpThreadAttributes=*/nullptr,
                      /*bInheritHandles=*/FALSE, flags,
                      /*lpEnvironment=*/nullptr,
                      /*lpCurrentDirectory=*/nullptr, &startup, &info)) {
    std::fprintf(stderr, "CreateProcess failed: %lu\n", GetLastError());
    return false;
  }
  return true;
}

int Spawn(std::wstring commandLine) {
  PROCESS_INFORMATION info = {};
  if (!Start(std::move(commandLine), CREATE_NO_WINDOW, nullptr, info)) return 1;
  simdefrag::OwnedHandle process(info.hProcess);
  simdefrag::OwnedHandle thread(info.hThread);
  std::printf("pid=%lu\n", info.dwProcessId);
  return 0;
}

// Starts `commandLine` on a window station and desktop of its own, which no
// one sees (as a scheduled task run as SYSTEM does), and waits up to
// `seconds` for it to end. Prints "exit=<code>", or "timeout" after ending
// a process that did not end by itself.
int RunUnseen(std::wstring commandLine, DWORD seconds) {
  HWINSTA station = CreateWindowStationW(L"WinpeekUnseen", /*dwFlags=*/0,
                                         WINSTA_ALL_ACCESS,
                                         /*lpsa=*/nullptr);
  if (station == nullptr) {
    std::fprintf(stderr, "CreateWindowStation failed: %lu\n", GetLastError());
    return 1;
  }
  // A desktop is made on the calling process's window station.
  HWINSTA own = GetProcessWindowStation();
  SetProcessWindowStation(station);
  HDESK desktop = CreateDesktopW(L"Default", /*lpszDevice=*/nullptr,
                                 /*pDevmode=*/nullptr, /*dwFlags=*/0,
                                 GENERIC_ALL, /*lpsa=*/nullptr);
  SetProcessWindowStation(own);
  if (desktop == nullptr) {
    std::fprintf(stderr, "CreateDesktop failed: %lu\n", GetLastError());
    return 1;
  }
  wchar_t desktopName[] = L"WinpeekUnseen\\Default";
  PROCESS_INFORMATION info = {};
  if (!Start(std::move(commandLine), /*flags=*/0, desktopName, info)) return 1;
  simdefrag::OwnedHandle process(info.hProcess);
  simdefrag::OwnedHandle thread(info.hThread);
  if (WaitForSingleObject(info.hProcess, seconds * 1000) != WAIT_OBJECT_0) {
    TerminateProcess(info.hProcess, 255);
    std::printf("timeout\n");
    return 1;
  }
  DWORD code = 0;
  GetExitCodeProcess(info.hProcess, &code);
  std::printf("exit=%lu\n", code);
  CloseDesktop(desktop);
  CloseWindowStation(station);
  return 0;
}

int HitTest(int x, int y) {
  POINT point{x, y};
  HWND window = WindowFromPoint(point);
  if (window == nullptr) return 1;
  window = GetAncestor(window, GA_ROOT);
  DWORD_PTR code = 0;
  if (!SendMessageTimeoutW(window, WM_NCHITTEST, /*wParam=*/0,
                           MAKELPARAM(x, y), SMTO_ABORTIFHUNG,
                           /*uTimeout=*/3000, &code))
    return 1;
  std::printf("%s %ld\n", Escaped(TextOf(window)).c_str(),
              static_cast<long>(static_cast<LRESULT>(code)));
  return 0;
}

// Holds `path` open with no sharing until the process is killed, or with
// read sharing for `ms` milliseconds.
int Lock(const std::wstring& path, DWORD ms) {
  simdefrag::OwnedHandle file(CreateFileW(
      path.c_str(), GENERIC_READ | GENERIC_WRITE, ms == INFINITE ? 0 : FILE_SHARE_READ,
      /*lpSecurityAttributes=*/nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
      /*hTemplateFile=*/nullptr));
  if (!file.valid()) {
    std::fprintf(stderr, "CreateFile failed: %lu\n", GetLastError());
    return 1;
  }
  std::printf("locked\n");
  std::fflush(stdout);
  Sleep(ms);
  return 0;
}

// Squats the name of the program's single-instance mutex, as any user
// could, with a mutex or (`event`) an event of security descriptor `sddl`.
int HoldName(bool event, const std::wstring& name, const std::wstring& sddl) {
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, nullptr, FALSE};
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(
          sddl.c_str(), SDDL_REVISION_1, &attributes.lpSecurityDescriptor,
          /*SecurityDescriptorSize=*/nullptr) ||
      !(event ? CreateEventW(&attributes, /*bManualReset=*/TRUE,
                             /*bInitialState=*/FALSE, name.c_str())
              : CreateMutexW(&attributes, /*bInitialOwner=*/FALSE, name.c_str())))
    return 1;
  std::printf("held\n");
  std::fflush(stdout);
  for (;;) Sleep(INFINITE);
}

enum class Act { kList, kEnd, kSuspend, kResume };

// Lists the processes, or acts on each of image `name`: ends it with
// `exitCode`, or suspends or resumes it as a debugger does (a program that
// stops answering, as a hung one does); exit code 1 when there is none.
int EachProcess(Act act, const wchar_t* name = nullptr, UINT exitCode = 0) {
  using NtCall = LONG(WINAPI*)(HANDLE);
  const auto ntCall = reinterpret_cast<NtCall>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"),
                     act == Act::kSuspend ? "NtSuspendProcess" : "NtResumeProcess")));
  simdefrag::OwnedHandle snapshot(
      CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, /*th32ProcessID=*/0));
  if (!snapshot.valid()) return 1;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    if (act == Act::kList) {
      std::printf("%lu %s\n", entry.th32ProcessID, Escaped(entry.szExeFile).c_str());
      continue;
    }
    if (lstrcmpiW(entry.szExeFile, name) != 0) continue;
    simdefrag::OwnedHandle process(OpenProcess(PROCESS_TERMINATE | PROCESS_SUSPEND_RESUME,
        /*bInheritHandle=*/FALSE, entry.th32ProcessID));
    found = found || process.valid();
    if (act == Act::kEnd) TerminateProcess(process.get(), exitCode);
    else if (ntCall) ntCall(process.get());
  }
  return act != Act::kList && !found ? 1 : 0;
}

int ListModules(const std::vector<HWND>& windows) {
  for (HWND window : windows) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    simdefrag::OwnedHandle snapshot(
        CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, id));
    if (!snapshot.valid()) return 1;
    MODULEENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32FirstW(snapshot.get(), &entry); more;
         more = Module32NextW(snapshot.get(), &entry)) {
      CharLowerW(entry.szModule);
      std::printf("%s\n", Escaped(entry.szModule).c_str());
    }
  }
  return 0;
}

// Owns one COM interface reference.
template <class T>
class ComRef {
 public:
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() {
    if (p_ != nullptr) p_->Release();
  }
  T* operator->() const { return p_; }
  T** put() { return &p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

// Owns a BSTR.
class Bstr {
 public:
  explicit Bstr(const std::wstring& text) : b_(SysAllocString(text.c_str())) {}
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { SysFreeString(b_); }
  BSTR get() const { return b_; }

 private:
  BSTR b_;
};

// Owns a VARIANT.
class Variant {
 public:
  Variant() { VariantInit(&v_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(&v_); }
  VARIANT* put() { return &v_; }
  const VARIANT& get() const { return v_; }

 private:
  VARIANT v_;
};

int PrintCommandLines(const std::wstring& imageName) {
  if (FAILED(CoInitializeEx(/*pvReserved=*/nullptr, COINIT_APARTMENTTHREADED)))
    return 1;
  int result = 1;
  {
    ComRef<IWbemLocator> locator;
    ComRef<IWbemServices> services;
    ComRef<IEnumWbemClassObject> processes;
    Bstr wql(L"WQL");
    Bstr query(L"SELECT * FROM Win32_Process WHERE Name = '" + imageName +
               L"'");
    Bstr nameSpace(L"ROOT\\CIMV2");
    if (SUCCEEDED(CoCreateInstance(CLSID_WbemLocator, /*pUnkOuter=*/nullptr,
                                   CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                   reinterpret_cast<void**>(locator.put()))) &&
        SUCCEEDED(locator->ConnectServer(nameSpace.get(), /*strUser=*/nullptr,
                                         /*strPassword=*/nullptr,
                                         /*strLocale=*/nullptr,
                                         /*lSecurityFlags=*/0,
                                         /*strAuthority=*/nullptr,
                                         /*pCtx=*/nullptr, services.put())) &&
        SUCCEEDED(services->ExecQuery(wql.get(), query.get(),
                                      WBEM_FLAG_FORWARD_ONLY, /*pCtx=*/nullptr,
                                      processes.put()))) {
      result = 0;
      for (;;) {
        ComRef<IWbemClassObject> process;
        ULONG returned = 0;
        if (processes->Next(static_cast<long>(WBEM_INFINITE), 1, process.put(),
                            &returned) != S_OK)
          break;
        Variant commandLine;
        process->Get(L"CommandLine", 0, commandLine.put(), /*pType=*/nullptr,
                     /*plFlavor=*/nullptr);
        if (commandLine.get().vt == VT_BSTR)
          std::printf("%s\n", Escaped(commandLine.get().bstrVal).c_str());
        else
          std::printf("(null)\n");
      }
    }
  }
  CoUninitialize();
  return result;
}

int Usage() {
  std::fprintf(stderr,
               "usage: winpeek list|close|endsession <title> [<ms> yes|no|close|none]\n"
               "       winpeek syscommand <title> minimize|restore\n"
               "       winpeek click <title> <control text>\n"
               "       winpeek hittest <x> <y>\n"
               "       winpeek lock <path> [<ms>] | exists <path>\n"
               "       winpeek mutex|event <name> <SDDL>\n"
               "       winpeek screen|drives|ps\n"
               "       winpeek cmdline <image name>\n"
               "       winpeek spawn <program> [<argument>...]\n"
               "       winpeek unseen <seconds> <program> [<argument>...]\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wstring(argv[1]) == L"screen") {
    std::printf("screen=%dx%d\n", GetSystemMetrics(SM_CXSCREEN),
                GetSystemMetrics(SM_CYSCREEN));
    return 0;
  }
  if (argc == 2 && std::wstring(argv[1]) == L"drives") {
    DWORD present = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
      if ((present & (1u << i)) == 0) continue;
      wchar_t root[] = {static_cast<wchar_t>(L'A' + i), L':', L'\\', L'\0'};
      std::printf("%c: %u\n", 'A' + i, GetDriveTypeW(root));
    }
    return 0;
  }
  if (argc == 2 && std::wstring(argv[1]) == L"ps") return EachProcess(Act::kList);
  if (argc == 3 && std::wstring(argv[1]) == L"end") return EachProcess(Act::kEnd, argv[2], 1);
  if (argc == 3 && std::wstring(argv[1]) == L"suspend") return EachProcess(Act::kSuspend, argv[2]);
  if (argc == 3 && std::wstring(argv[1]) == L"resume") return EachProcess(Act::kResume, argv[2]);
  if (argc == 3 && std::wstring(argv[1]) == L"cmdline")
    return PrintCommandLines(argv[2]);
  // "argv[from]" argv[from + 1] ...: the path in quotes, as the shell has it
  const auto commandLine = [&](int from) {
    std::wstring line = L"\"" + std::wstring(argv[from]) + L"\"";
    while (++from < argc) line += L" " + std::wstring(argv[from]);
    return line;
  };
  if (argc >= 3 && std::wstring(argv[1]) == L"spawn") return Spawn(commandLine(2));
  if (argc >= 4 && std::wstring(argv[1]) == L"unseen")
    return RunUnseen(commandLine(3), std::wcstoul(argv[2], nullptr, 10));
  if ((argc == 3 || argc == 4) && std::wstring(argv[1]) == L"lock")
    return Lock(argv[2], argc == 4 ? std::wcstoul(argv[3], nullptr, 10) : INFINITE);
  if (argc == 4 && (std::wstring(argv[1]) == L"mutex" || std::wstring(argv[1]) == L"event"))
    return HoldName(std::wstring(argv[1]) == L"event", argv[2], argv[3]);
  if (argc == 3 && std::wstring(argv[1]) == L"exists") {
    const bool exists = GetFileAttributesW(argv[2]) != INVALID_FILE_ATTRIBUTES;
    std::printf("%s\n", exists ? "exists" : "absent");
    return 0;
  }
  if (argc == 4 && std::wstring(argv[1]) == L"hittest")
    return HitTest(std::wcstol(argv[2], nullptr, 10),
                   std::wcstol(argv[3], nullptr, 10));
  if (argc == 4 && std::wstring(argv[1]) == L"syscommand") {
    std::wstring which = argv[3];
    WPARAM command = which == L"minimize"  ? SC_MINIMIZE
                     : which == L"restore" ? SC_RESTORE
                                           : 0;
    if (command == 0) return Usage();
    std::vector<HWND> windows = FindTopLevel(argv[2]);
    for (HWND window : windows)
      PostMessageW(window, WM_SYSCOMMAND, command, /*lParam=*/0);
    return windows.empty() ? 1 : 0;
  }
  if (argc == 5 && std::wstring(argv[1]) == L"endsession") {
    const std::vector<HWND> windows = FindTopLevel(argv[2]);
    const std::wstring then = argv[4];
    for (HWND window : windows) SendMessageW(window, WM_QUERYENDSESSION, 0, 0);
    if (then == L"none") return windows.empty() ? 1 : 0;
    Sleep(static_cast<DWORD>(_wtoi(argv[3])));
    EachProcess(Act::kEnd, L"defrag.exe", 0xC000013A);  // STATUS_CONTROL_C_EXIT
    for (HWND window : windows) {
      if (then == L"close")
        PostMessageW(window, WM_CLOSE, /*wParam=*/0, /*lParam=*/0);
      else
        SendMessageW(window, WM_ENDSESSION, then == L"yes", 0);
    }
    return windows.empty() ? 1 : 0;
  }
  if (argc == 4 && std::wstring(argv[1]) == L"click") {
    int clicked = 0;
    for (HWND window : FindTopLevel(argv[2])) {
      ControlSearch search{window, argv[3], {}};
      EnumChildWindows(window, CollectControl,
                       reinterpret_cast<LPARAM>(&search));
      for (HWND control : search.found) {
        PostMessageW(control, BM_CLICK, /*wParam=*/0, /*lParam=*/0);
        ++clicked;
      }
    }
    return clicked == 0 ? 1 : 0;
  }
  if (argc != 3) return Usage();
  std::wstring command = argv[1];
  std::vector<HWND> windows = FindTopLevel(argv[2]);
  if (command == L"list") {
    for (HWND window : windows) PrintWindow(window);
  } else if (command == L"modules") {
    if (ListModules(windows) != 0) return 1;
  } else if (command == L"close") {
    for (HWND window : windows)
      PostMessageW(window, WM_CLOSE, /*wParam=*/0, /*lParam=*/0);
  } else if (command == L"endsession") {
    for (HWND window : windows) {
      for (UINT message : {WM_QUERYENDSESSION, WM_ENDSESSION}) {
        const DWORD start = GetTickCount();
        SendMessageTimeoutW(window, message, message == WM_ENDSESSION,
                            ENDSESSION_CLOSEAPP, SMTO_NORMAL, 30000, nullptr);
        if (message == WM_ENDSESSION)
          std::printf("handled in %lu ms\n", GetTickCount() - start);
      }
    }
  } else {
    return Usage();
  }
  std::fflush(stdout);
  return windows.empty() ? 1 : 0;
}
