// empty_window.exe: the least a Win32 program does to show a window with a
// caption, "Bench Window": the yardstick for Orvane's start-up. Arguments:
//   close      close the window as soon as it is shown, and end (so that a
//              whole life can be timed or measured)
//   minimize   minimize the window once shown, as Orvane does with -S

#include <windows.h>

#include <cwchar>

namespace {

constexpr wchar_t kClassName[] = L"BenchEmptyWindow";

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam,
                            LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/,
                    PWSTR commandLine, int /*showCommand*/) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(/*hInstance=*/nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  if (!RegisterClassExW(&wc)) return 1;

  const HWND window = CreateWindowExW(
      /*dwExStyle=*/0, kClassName, L"Bench Window",
      WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
      CW_USEDEFAULT, 209, 86, /*hWndParent=*/nullptr, /*hMenu=*/nullptr,
      instance, /*lpParam=*/nullptr);
  if (!window) return 1;
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  if (std::wcsstr(commandLine, L"minimize") != nullptr)
    ShowWindow(window, SW_MINIMIZE);
  if (std::wcsstr(commandLine, L"close") != nullptr)
    PostMessageW(window, WM_CLOSE, 0, 0);

  MSG msg;
  while (GetMessageW(&msg, /*hWnd=*/nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
