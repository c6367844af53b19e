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
//   BENCH_ORVANE_WINDOW    Orvane's own window instead of the bare one: its
//                          frame and size, its icon (big and small), its
//                          four controls with the GUI font, centred on the
//                          screen; built with BENCH_COMMON_CONTROLS and the
//                          icon, it is the least that shows what Orvane
//                          shows

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
#if defined(BENCH_ORVANE_WINDOW)
#include <cmath>
#endif

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

#if defined(BENCH_ORVANE_WINDOW)
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU |
                         WS_MINIMIZEBOX | WS_THICKFRAME;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;

int Px(int twips, int dpi) {
  return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

// Orvane's controls, in twips, with its styles and texts.
void AddControls(HWND window, int dpiX, int dpiY) {
  struct Control {
    const wchar_t* className;
    const wchar_t* text;
    DWORD style, exStyle;
    int left, top, width, height;
  };
  const Control controls[] = {
      {L"Button", L"Report", WS_TABSTOP | WS_DISABLED | BS_PUSHBUTTON, 0,
       1560, 120, 1215, 375},
      {L"Button", L"Start", WS_TABSTOP | BS_PUSHBUTTON, 0, 240, 120, 1215,
       375},
      {L"Edit", L"Text1", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 480,
       240, 150, 195},
      {L"Static", L"Free from www.orvane.example", SS_CENTER | SS_NOPREFIX,
       0, 0, 600, 3015, 255},
  };
  int id = 1;
  for (const Control& c : controls) {
    const HWND control = CreateWindowExW(
        c.exStyle, c.className, c.text,
        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | c.style, Px(c.left, dpiX),
        Px(c.top, dpiY), Px(c.width, dpiX), Px(c.height, dpiY), window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)),
        GetModuleHandleW(/*lpModuleName=*/nullptr), /*lpParam=*/nullptr);
    SendMessageW(control, WM_SETFONT,
                 reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 /*redraw=*/FALSE);
  }
}

HICON Icon(HINSTANCE instance, int cx, int cy) {
  return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1),
                                       IMAGE_ICON, GetSystemMetrics(cx),
                                       GetSystemMetrics(cy), LR_DEFAULTCOLOR));
}

HWND CreateTheWindow(HINSTANCE instance) {
  const HDC screen = GetDC(/*hWnd=*/nullptr);
  const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
  const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(/*hWnd=*/nullptr, screen);
  RECT frame{0, 0, Px(3015, dpiX), Px(900, dpiY)};
  AdjustWindowRectEx(&frame, kStyle, /*bMenu=*/FALSE, kExStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const HWND window = CreateWindowExW(
      kExStyle, kClassName, L"Bench Window", kStyle, CW_USEDEFAULT,
      CW_USEDEFAULT, width, height, /*hWndParent=*/nullptr,
      /*hMenu=*/nullptr, instance, /*lpParam=*/nullptr);
  if (!window) return nullptr;
  SendMessageW(window, WM_SETICON, ICON_BIG,
               reinterpret_cast<LPARAM>(Icon(instance, SM_CXICON, SM_CYICON)));
  SendMessageW(
      window, WM_SETICON, ICON_SMALL,
      reinterpret_cast<LPARAM>(Icon(instance, SM_CXSMICON, SM_CYSMICON)));
  AddControls(window, dpiX, dpiY);
  SetWindowPos(window, /*hWndInsertAfter=*/nullptr,
               (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return window;
}
#else
HWND CreateTheWindow(HINSTANCE instance) {
  return CreateWindowExW(
      /*dwExStyle=*/0, kClassName, L"Bench Window",
      WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
      CW_USEDEFAULT, 209, 86, /*hWndParent=*/nullptr, /*hMenu=*/nullptr,
      instance, /*lpParam=*/nullptr);
}
#endif

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

  const HWND window = CreateTheWindow(instance);
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
