// winpeek.exe: tells end-to-end tests what the windows of a Wine session
// look like from inside, where X11 tools cannot see (control texts, enabled
// states, the frame that a bare X server does not draw).
//
//   winpeek.exe list <title>    every top-level window titled exactly
//                               <title>, each followed by its controls;
//                               exit code 1 when there is none
//   winpeek.exe close <title>   posts WM_CLOSE to each such window
//   winpeek.exe screen          the screen size in pixels
//   winpeek.exe drives          each drive as "<letter>: <type number>"
//
// Output lines (texts with \r, \n, \t and \\ escaped):
//   window class=<c> title=<t> visible=0|1 iconic=0|1 enabled=0|1
//          rect=<l>,<t>,<r>,<b> client=<w>x<h> pid=<pid>
//   control class=<c> text=<t> visible=0|1 enabled=0|1 rect=<l>,<t>,<w>,<h>
// where a control's rect is relative to its window's client area.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

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
  if (TextOf(window) == search->title) search->found.push_back(window);
  return TRUE;
}

BOOL CALLBACK PrintControl(HWND control, LPARAM lParam) {
  HWND parent = reinterpret_cast<HWND>(lParam);
  if (GetParent(control) != parent) return TRUE;  // direct children only
  RECT rect = {};
  GetWindowRect(control, &rect);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
  std::printf("control class=%s text=%s visible=%d enabled=%d rect=%ld,%ld,%ld,%ld\n",
              Escaped(ClassOf(control)).c_str(),
              Escaped(TextOf(control)).c_str(),
              IsWindowVisible(control) ? 1 : 0,
              IsWindowEnabled(control) ? 1 : 0, rect.left, rect.top,
              rect.right - rect.left, rect.bottom - rect.top);
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
              "rect=%ld,%ld,%ld,%ld client=%ldx%ld pid=%lu\n",
              Escaped(ClassOf(window)).c_str(),
              Escaped(TextOf(window)).c_str(),
              IsWindowVisible(window) ? 1 : 0, IsIconic(window) ? 1 : 0,
              IsWindowEnabled(window) ? 1 : 0, rect.left, rect.top,
              rect.right, rect.bottom, client.right, client.bottom,
              static_cast<unsigned long>(pid));
  EnumChildWindows(window, PrintControl, reinterpret_cast<LPARAM>(window));
}

std::vector<HWND> FindTopLevel(const std::wstring& title) {
  Search search{title, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

int Usage() {
  std::fprintf(stderr, "usage: winpeek list|close <title> | winpeek screen|drives\n");
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
  if (argc != 3) return Usage();
  std::wstring command = argv[1];
  std::vector<HWND> windows = FindTopLevel(argv[2]);
  if (command == L"list") {
    for (HWND window : windows) PrintWindow(window);
  } else if (command == L"close") {
    for (HWND window : windows)
      PostMessageW(window, WM_CLOSE, /*wParam=*/0, /*lParam=*/0);
  } else {
    return Usage();
  }
  std::fflush(stdout);
  return windows.empty() ? 1 : 0;
}
