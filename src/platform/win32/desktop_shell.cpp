#include "platform/win32/desktop_shell.h"

#include <windows.h>
#include <exdisp.h>
#include <shldisp.h>
#include <shlobj.h>
#include <servprov.h>

#include "platform/win32/loader.h"
#include "platform/win32/message_dispatch.h"
#include "platform/win32/resource.h"
#include "platform/win32/scoped_com.h"

// shellapi.h's ShellExecute macro would rename the automation method.
#undef ShellExecute

namespace orvane::win32 {
namespace {

// Values for the calls' in-parameters, which own nothing.
VARIANT Empty() {
  VARIANT value;
  deferred::VariantInit(&value);
  return value;
}

VARIANT Number(LONG number) {
  VARIANT value = Empty();
  value.vt = VT_I4;
  value.lVal = number;
  return value;
}

// The desktop's view: the shell window of class SWC_DESKTOP, its top-level
// browser, and the view that browser shows.
ComPtr<IShellView> DesktopView() {
  ComPtr<IShellWindows> windows;
  if (FAILED(deferred::CoCreateInstance(
          CLSID_ShellWindows, /*outer=*/nullptr, CLSCTX_LOCAL_SERVER,
          __uuidof(IShellWindows),
          reinterpret_cast<void**>(windows.addressof())))) {
    return {};
  }
  VARIANT location = Number(CSIDL_DESKTOP);
  VARIANT root = Empty();
  long window = 0;
  ComPtr<IDispatch> desktop;
  // S_FALSE: there is no desktop window.
  if (windows->FindWindowSW(&location, &root, SWC_DESKTOP, &window,
                            SWFO_NEEDDISPATCH,
                            desktop.addressof()) != S_OK ||
      !desktop) {
    return {};
  }
  ComPtr<IServiceProvider> services;
  if (FAILED(desktop.QueryInterface(services))) return {};
  ComPtr<IShellBrowser> browser;
  if (FAILED(services->QueryService(
          SID_STopLevelBrowser, __uuidof(IShellBrowser),
          reinterpret_cast<void**>(browser.addressof())))) {
    return {};
  }
  ComPtr<IShellView> view;
  if (FAILED(browser->QueryActiveShellView(view.addressof()))) return {};
  return view;
}

// The shell's automation object of the desktop's view (the Shell.Application
// of the desktop's process).
ComPtr<IShellDispatch2> DesktopShellDispatch() {
  const ComPtr<IShellView> view = DesktopView();
  if (!view) return {};
  ComPtr<IDispatch> background;
  if (FAILED(view->GetItemObject(
          SVGIO_BACKGROUND, __uuidof(IDispatch),
          reinterpret_cast<void**>(background.addressof())))) {
    return {};
  }
  ComPtr<IShellFolderViewDual> folderView;
  if (FAILED(background.QueryInterface(folderView))) return {};
  ComPtr<IDispatch> application;
  if (FAILED(folderView->get_Application(application.addressof()))) return {};
  ComPtr<IShellDispatch2> shell;
  if (FAILED(application.QueryInterface(shell))) return {};
  return shell;
}

// Asks the desktop's shell to open the file. COM must be entered on the
// calling thread.
bool Open(const std::wstring& file, const std::wstring& arguments,
          int windowStyle) noexcept {
  try {
    const ComPtr<IShellDispatch2> shell = DesktopShellDispatch();
    if (!shell) return false;
    const UniqueBstr fileText(file);
    const UniqueBstr argumentText(arguments);
    VARIANT args = Empty();
    args.vt = VT_BSTR;
    args.bstrVal = argumentText.get();
    // No directory, and the default verb.
    return SUCCEEDED(shell->ShellExecute(fileText.get(), args, Empty(),
                                         Empty(), Number(windowStyle)));
  } catch (...) {
    return false;
  }
}

// What the thread that asks the desktop shares with the caller, who may
// stop waiting for it: the last of the two to let go deletes it.
struct DesktopRequest {
  std::wstring file;
  std::wstring arguments;
  int windowStyle;
  bool opened;  // read once the thread has ended
  LONG holders;
};

void LetGo(DesktopRequest* request) {
  if (InterlockedDecrement(&request->holders) == 0) delete request;
}

DWORD WINAPI AskDesktop(void* parameter) {
  auto* request = static_cast<DesktopRequest*>(parameter);
  {
    // An apartment of this thread's own; the process's COM security was
    // set by the caller's thread.
    const ScopedCom com;
    request->opened =
        Open(request->file, request->arguments, request->windowStyle);
  }
  LetGo(request);
  return 0;
}

}  // namespace

DesktopShellAnswer OpenThroughDesktopShell(const std::wstring& file,
                                           const std::wstring& arguments,
                                           int windowStyle) {
  auto* request =
      new DesktopRequest{file, arguments, windowStyle, false, /*holders=*/2};
  const UniqueThread thread(CreateThread(
      /*lpThreadAttributes=*/nullptr, /*dwStackSize=*/0, &AskDesktop, request,
      /*dwCreationFlags=*/0, /*lpThreadId=*/nullptr));
  if (!thread) {
    delete request;
    return DesktopShellAnswer::kNone;
  }
  ScopeExit waiting([request] { LetGo(request); });
  if (!HandleMessagesUntil(thread.get(), /*done=*/{}, kDesktopShellAnswerMs)) {
    return DesktopShellAnswer::kNoAnswer;
  }
  return request->opened ? DesktopShellAnswer::kOpened
                         : DesktopShellAnswer::kNone;
}

}  // namespace orvane::win32
