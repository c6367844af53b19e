#include "ui/win32/frm_orvane.h"

#include <commctrl.h>

#include <exception>

#include "core/program_title.h"
#include "platform/scope_exit.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_error.h"
#include "resource_ids.h"
#include "ui/form_events.h"
#include "ui/win32/no_resize.h"
#include "ui/win32/program_icons.h"
#include "ui/win32/twips.h"

namespace orvane::win32 {
namespace {

constexpr wchar_t kClassName[] = L"OrvaneMainWindow";

// A sizable border, so that the size guard is what holds the size, and no
// maximize box.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU |
                               WS_MINIMIZEBOX | WS_THICKFRAME;
// Tab and the arrow keys move between the controls.
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;
// Every control clips its siblings, so that Command1, above txtOver in the
// stacking order, hides it completely.
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;

// The client area of the design, in twips.
constexpr int kClientWidthTwips = 3015;
constexpr int kClientHeightTwips = 900;

}  // namespace

// One control of the design: its class, text, styles and place in twips.
struct FrmOrvane::ControlDesign {
  const wchar_t* className;
  const char* text;
  DWORD style;
  DWORD exStyle;
  int id;
  int left, top, width, height;
};

FrmOrvane::FrmOrvane(Context& ctx, HINSTANCE instance) noexcept
    : ctx_(ctx), instance_(instance) {}

FrmOrvane::~FrmOrvane() {
  if (ctx_.state.oMainForm == this) {
    try {
      FormTerminate(ctx_);
    } catch (...) {
      // The process is ending; there is no one left to tell.
    }
  }
  if (hwnd_) {
    // Detach first: no handler may run on a half-destroyed object.
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    quitOnDestroy_ = false;
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
  }
}

// ---------------------------------------------------------------------------
// Loading and unloading

void FrmOrvane::RegisterWindowClass() {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(instance_, kClassName, &existing)) return;

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &FrmOrvane::WindowProcThunk;
  wc.hInstance = instance_;
  // No class icons: each window gets icons of its own (WM_SETICON).
  wc.hCursor = LoadCursorW(/*hInstance=*/nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  if (!RegisterClassExW(&wc)) throw LastWin32Failure();
}

void FrmOrvane::Load() {
  if (IsLoaded()) return;
  RegisterWindowClass();

  const Dpi dpi = ScreenDpi();
  RECT frame{0, 0, TwipsToPixels(kClientWidthTwips, dpi.x),
             TwipsToPixels(kClientHeightTwips, dpi.y)};
  if (!AdjustWindowRectEx(&frame, kWindowStyle, /*bMenu=*/FALSE,
                          kWindowExStyle)) {
    throw LastWin32Failure();
  }
  // WM_NCCREATE stores the handle in hwnd_; WM_NCDESTROY clears it.
  const HWND created = CreateWindowExW(
      kWindowExStyle, kClassName, L"Defragment", kWindowStyle, CW_USEDEFAULT,
      CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
      /*hWndParent=*/nullptr, /*hMenu=*/nullptr, instance_, this);
  if (!created) throw LastWin32Failure();
  // Replaced only now that the window that showed the previous ones is gone.
  icons_ = LoadProgramIcons(instance_);
  SendMessageW(created, WM_SETICON, ICON_BIG,
               reinterpret_cast<LPARAM>(icons_.large.get()));
  SendMessageW(created, WM_SETICON, ICON_SMALL,
               reinterpret_cast<LPARAM>(icons_.small.get()));

  try {
    CreateControls();
  } catch (...) {
    DestroyWindow(created);
    throw;
  }
  quitOnDestroy_ = true;

  try {
    FormLoad(ctx_);
  } catch (...) {
    // A load handling that failed before it showed the window would leave
    // a window that no one can see or close.
    if (hwnd_ && !IsWindowVisible(hwnd_)) ShowWindow(hwnd_, SW_SHOW);
    throw;
  }
}

HWND FrmOrvane::CreateControl(const ControlDesign& design) {
  const Dpi dpi = ScreenDpi();
  const int left = TwipsToPixels(design.left, dpi.x);
  const int top = TwipsToPixels(design.top, dpi.y);
  const HWND control = CreateWindowExW(
      design.exStyle, design.className, Utf8ToWide(design.text).c_str(),
      design.style, left, top, TwipsToPixels(design.width, dpi.x),
      TwipsToPixels(design.height, dpi.y), hwnd_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(design.id)), instance_,
      /*lpParam=*/nullptr);
  if (!control) throw LastWin32Failure();
  SendMessageW(control, WM_SETFONT,
               reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
               /*redraw=*/FALSE);
  return control;
}

void FrmOrvane::CreateControls() {
  // In the order of the design.
  command2_ = CreateControl({WC_BUTTONW, "Report",
                             kChild | WS_TABSTOP | WS_DISABLED | BS_PUSHBUTTON,
                             0, kCommand2Id, 1560, 120, 1215, 375});
  command1_ = CreateControl({WC_BUTTONW, "Start",
                             kChild | WS_TABSTOP | BS_PUSHBUTTON, 0,
                             kCommand1Id, 240, 120, 1215, 375});
  txtOver_ = CreateControl({WC_EDITW, "Text1",
                            kChild | WS_TABSTOP | ES_AUTOHSCROLL,
                            WS_EX_CLIENTEDGE, kTxtOverId, 480, 240, 150, 195});
  label1_ = CreateControl({WC_STATICW, "Free from www.orvane.example",
                           kChild | SS_CENTER | SS_NOPREFIX, 0, kLabel1Id, 0,
                           600, 3015, 255});

  // The stacking order, which is also the order Tab walks (round and
  // round): Command1, Command2, txtOver, Label1. From txtOver the walk wraps
  // to Command1 and then Command2, so the tab order is txtOver, Command1,
  // Command2; and Command1 lies above txtOver and hides it.
  const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  SetWindowPos(command1_, HWND_TOP, 0, 0, 0, 0, keep);
  SetWindowPos(command2_, command1_, 0, 0, 0, 0, keep);
  SetWindowPos(txtOver_, command2_, 0, 0, 0, 0, keep);
  SetWindowPos(label1_, txtOver_, 0, 0, 0, 0, keep);

  // The lowest tab index: it has the focus when the window opens.
  focus_ = txtOver_;
}

bool FrmOrvane::IsLoaded() const { return hwnd_ != nullptr; }

void FrmOrvane::Unload() {
  // Nested calls (a close while the unload handling waits for the
  // management service) find the unload under way.
  if (!IsLoaded() || unloading_) return;
  unloading_ = true;
  ScopeExit destroyAtEnd([this] {
    if (hwnd_) DestroyWindow(hwnd_);
    unloading_ = false;
  });
  FormQueryUnload(ctx_);
  FormUnload(ctx_);
}

void FrmOrvane::Show() {
  if (hwnd_) ShowWindow(hwnd_, SW_SHOW);
}

void FrmOrvane::Hide() {
  if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

// ---------------------------------------------------------------------------
// Properties

void FrmOrvane::SetWindowState(WindowState state) {
  if (!IsLoaded()) Load();
  if (!hwnd_ || GetWindowState() == state) return;
  switch (state) {
    case WindowState::kMinimized:
      ShowWindow(hwnd_, SW_MINIMIZE);
      break;
    case WindowState::kMaximized:
      ShowWindow(hwnd_, SW_MAXIMIZE);
      break;
    case WindowState::kNormal:
      ShowWindow(hwnd_, SW_RESTORE);
      break;
  }
}

WindowState FrmOrvane::GetWindowState() const {
  if (hwnd_ && IsIconic(hwnd_)) return WindowState::kMinimized;
  if (hwnd_ && IsZoomed(hwnd_)) return WindowState::kMaximized;
  return WindowState::kNormal;
}

namespace {

void SetText(HWND window, const std::string& text) {
  if (window && !SetWindowTextW(window, Utf8ToWide(text).c_str())) {
    throw LastWin32Failure();
  }
}

std::string GetText(HWND window) {
  if (!window) return {};
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1,
                    L'\0');
  const int length =
      GetWindowTextW(window, &text[0], static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(length > 0 ? length : 0));
  return WideToUtf8(text);
}

void Enable(HWND window, bool enabled) {
  if (window) EnableWindow(window, enabled ? TRUE : FALSE);
}

}  // namespace

void FrmOrvane::SetCaption(const std::string& caption) {
  SetText(hwnd_, caption);
}

void FrmOrvane::SetEnabled(bool enabled) { Enable(hwnd_, enabled); }

std::string FrmOrvane::Command1Caption() const { return GetText(command1_); }

void FrmOrvane::SetCommand1Caption(const std::string& caption) {
  SetText(command1_, caption);
}

void FrmOrvane::SetCommand1Enabled(bool enabled) {
  Enable(command1_, enabled);
}

void FrmOrvane::SetCommand2Enabled(bool enabled) {
  Enable(command2_, enabled);
}

void FrmOrvane::FocusTxtOver() {
  if (!txtOver_) return;
  focus_ = txtOver_;
  SetFocus(txtOver_);
}

namespace {

RECT OuterRect(HWND window) {
  RECT outer{};
  if (window && !GetWindowRect(window, &outer)) throw LastWin32Failure();
  return outer;
}

void MoveTo(HWND window, int left, int top) {
  if (!SetWindowPos(window, /*hWndInsertAfter=*/nullptr, left, top, 0, 0,
                    SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)) {
    throw LastWin32Failure();
  }
}

}  // namespace

double FrmOrvane::WidthTwips() const {
  const RECT outer = OuterRect(hwnd_);
  return PixelsToTwips(outer.right - outer.left, ScreenDpi().x);
}

double FrmOrvane::HeightTwips() const {
  const RECT outer = OuterRect(hwnd_);
  return PixelsToTwips(outer.bottom - outer.top, ScreenDpi().y);
}

void FrmOrvane::SetLeftTwips(float left) {
  if (!hwnd_) return;
  const RECT outer = OuterRect(hwnd_);
  MoveTo(hwnd_, TwipsToPixels(left, ScreenDpi().x), outer.top);
}

void FrmOrvane::SetTopTwips(float top) {
  if (!hwnd_) return;
  const RECT outer = OuterRect(hwnd_);
  MoveTo(hwnd_, outer.left, TwipsToPixels(top, ScreenDpi().y));
}

double FrmOrvane::ScreenWidthTwips() const {
  return PixelsToTwips(GetSystemMetrics(SM_CXSCREEN), ScreenDpi().x);
}

double FrmOrvane::ScreenHeightTwips() const {
  return PixelsToTwips(GetSystemMetrics(SM_CYSCREEN), ScreenDpi().y);
}

void FrmOrvane::InstallSizeGuard() { HookForm(hwnd_); }

void FrmOrvane::RemoveSizeGuard() { UnhookForm(); }

// ---------------------------------------------------------------------------
// Messages

LRESULT CALLBACK FrmOrvane::WindowProcThunk(HWND hwnd, UINT msg,
                                            WPARAM wParam,
                                            LPARAM lParam) noexcept {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* form = static_cast<FrmOrvane*>(create->lpCreateParams);
    form->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form =
      reinterpret_cast<FrmOrvane*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!form) return DefWindowProcW(hwnd, msg, wParam, lParam);

  // No exception may leave a window procedure: a handler's failure is shown
  // and the message counts as handled.
  try {
    return form->HandleMessage(hwnd, msg, wParam, lParam);
  } catch (const std::exception& e) {
    form->ShowHandlerFailure(e.what());
  } catch (...) {
    form->ShowHandlerFailure("Unexpected failure");
  }
  return 0;
}

LRESULT FrmOrvane::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam,
                                 LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam),
                reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_CTLCOLORSTATIC:
      return OnCtlColorStatic(reinterpret_cast<HDC>(wParam),
                              reinterpret_cast<HWND>(lParam));
    case WM_SIZE:
      OnSize();
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_QUERYENDSESSION:
      return FormQueryEndSession(ctx_, (lParam & ENDSESSION_LOGOFF) != 0)
                 ? TRUE
                 : FALSE;
    case WM_ENDSESSION:
      FormEndSession(ctx_, wParam != FALSE,
                     (lParam & ENDSESSION_LOGOFF) != 0);
      return 0;
    case WM_ACTIVATE:
      OnActivate(wParam);
      break;  // the default handling activates the window
    case WM_SETFOCUS:
      OnSetFocus();
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_NCDESTROY:
      OnNcDestroy();  // forgets hwnd_: the default handling uses `hwnd`
      break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void FrmOrvane::OnCommand(int id, int notification, HWND control) {
  if (notification != BN_CLICKED) return;
  // Enter: the dialog manager asks for the default button, which a window
  // that is no dialog does not keep, and sends IDOK. Enter on a focused
  // button clicks that button; anywhere else it does nothing.
  if (id == IDOK && control == nullptr) {
    const HWND focus = GetFocus();
    if (focus == command1_ || focus == command2_) {
      id = GetDlgCtrlID(focus);
      control = focus;
    }
  }
  if (control == nullptr || !IsWindowEnabled(control)) return;
  if (id == kCommand1Id) {
    Command1Click(ctx_);
  } else if (id == kCommand2Id) {
    Command2Click(ctx_);
  }
}

LRESULT FrmOrvane::OnCtlColorStatic(HDC dc, HWND control) {
  if (control != label1_) {
    return DefWindowProcW(hwnd_, WM_CTLCOLORSTATIC,
                          reinterpret_cast<WPARAM>(dc),
                          reinterpret_cast<LPARAM>(control));
  }
  SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

void FrmOrvane::OnSize() { FormResize(ctx_); }

void FrmOrvane::OnClose() { Unload(); }

void FrmOrvane::OnActivate(WPARAM wParam) {
  // Leaving the window: remember which control had the focus.
  if (LOWORD(wParam) != WA_INACTIVE) return;
  const HWND focused = GetFocus();
  if (focused && IsChild(hwnd_, focused)) focus_ = focused;
}

void FrmOrvane::OnSetFocus() {
  // The window itself takes no keys: pass the focus on to the control that
  // had it, or to the focus sink when that one cannot take it now.
  HWND target = focus_;
  if (!target || !IsWindowEnabled(target) || !IsWindowVisible(target)) {
    target = txtOver_;
  }
  if (target) SetFocus(target);
}

void FrmOrvane::OnDestroy() {
  // The program ends with its window.
  if (quitOnDestroy_) PostQuitMessage(0);
}

void FrmOrvane::OnNcDestroy() {
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  hwnd_ = command1_ = command2_ = txtOver_ = label1_ = focus_ = nullptr;
  quitOnDestroy_ = false;
}

void FrmOrvane::ShowHandlerFailure(const char* description) noexcept {
  // A Stop that failed half-way may have left the window disabled; the user
  // must be able to use it, or at least close it, after the message.
  if (hwnd_) EnableWindow(hwnd_, TRUE);
  try {
    ctx_.services.dialogs.Show(kEventHandlerFailure, description,
                               kStyleCritical, kProgramTitle);
  } catch (...) {
    // Nothing more can be done from inside a window procedure.
  }
}

}  // namespace orvane::win32
