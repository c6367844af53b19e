// empty_window.exe: the least a Win32 program does to show a window with a
// caption, "Bench Window": the yardstick for Orvane's start-up. Arguments:
//   close      close the window as soon as it is shown, and end (so that a
//              whole life can be timed or measured)
//   minimize   minimize the window once shown, as Orvane does with -S
//
// Built a few times more by bench/run.sh, each with one thing that Orvane
// could do before its window shows, to measure what each costs:
//   BENCH_COMMON_CONTROLS  Orvane's manifest (common controls 6) and
//                          InitCommonControlsEx, as Orvane does
//   BENCH_COM              ole32 imported, CoInitializeEx (a single-threaded
//                          apartment) and CoInitializeSecurity
//   BENCH_OLE32            ole32 imported, nothing called
//   BENCH_OLEAUT32         oleaut32 imported, nothing called
//   BENCH_SHELL32          shell32 imported, nothing called

#include <windows.h>
#if defined(BENCH_COMMON_CONTROLS)
#include <commctrl.h>
#endif
#if defined(BENCH_COM) || defined(BENCH_OLE32) || defined(BENCH_OLEAUT32)
#include <objbase.h>
#include <oleauto.h>
#endif
#if defined(BENCH_SHELL32)
#include <shellapi.h>
#endif

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

// Imports a DLL's function without calling it: the loader then maps the DLL
// and runs its initialisation before wWinMain.
const void* volatile imported = nullptr;
template <class Function>
void Import(Function function) {
  imported = reinterpret_cast<const void*>(function);
}

void BeforeTheWindow() {
#if defined(BENCH_COMMON_CONTROLS)
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                      ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
#endif
#if defined(BENCH_COM)
  CoInitializeEx(/*pvReserved=*/nullptr, COINIT_APARTMENTTHREADED);
  CoInitializeSecurity(/*pSecDesc=*/nullptr, /*cAuthSvc=*/-1,
                       /*asAuthSvc=*/nullptr, /*pReserved1=*/nullptr,
                       RPC_C_AUTHN_LEVEL_DEFAULT, RPC_C_IMP_LEVEL_IMPERSONATE,
                       /*pAuthList=*/nullptr, EOAC_NONE,
                       /*pReserved3=*/nullptr);
#endif
#if defined(BENCH_OLE32)
  Import(&CoUninitialize);
#endif
#if defined(BENCH_OLEAUT32)
  Import(&SysFreeString);
#endif
#if defined(BENCH_SHELL32)
  Import(&ShellExecuteExW);
#endif
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/,
                    PWSTR commandLine, int /*showCommand*/) {
  BeforeTheWindow();
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
