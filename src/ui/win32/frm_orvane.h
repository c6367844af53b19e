#pragma once
// frmOrvane: the program's one window. A small window of fixed size with
// the Start/Stop button (Command1), the Report button (Command2), a credit
// line (Label1) and a text box hidden under Command1 (txtOver) that takes
// the keyboard focus away from the buttons. Its events go to the handlers
// of ui/form_events.h.

#include <windows.h>

#include <string>

#include "core/context.h"
#include "platform/main_window.h"
#include "ui/win32/program_icons.h"

namespace orvane::win32 {

// Control identifiers. None is IDOK or IDCANCEL, so Enter and Esc, which
// the dialog keys turn into those commands, never click a button.
enum FrmOrvaneControl : int {
  kCommand2Id = 102,
  kCommand1Id = 101,
  kTxtOverId = 103,
  kLabel1Id = 104,
};

class FrmOrvane : public MainWindow {
 public:
  // Makes the window object; the window itself is created by Load.
  // `ctx` must outlive the object.
  FrmOrvane(Context& ctx, HINSTANCE instance) noexcept;
  // The window object's end: its terminate handling (when it is the
  // program's window, Context::state.oMainForm), then any window still
  // there is destroyed without further handling.
  ~FrmOrvane() override;

  FrmOrvane(const FrmOrvane&) = delete;
  FrmOrvane& operator=(const FrmOrvane&) = delete;

  // Creates the window hidden with its controls in their design state,
  // then runs the load handling (which shows it). Throws Failure when the
  // window cannot be created; a failure of the load handling passes on
  // too, with the window loaded and shown.
  void Load() override;
  bool IsLoaded() const override;
  // Query-unload and unload handling, then the window is destroyed, even
  // when a handler fails (its failure passes on).
  void Unload() override;
  void Show() override;
  void Hide() override;

  void SetWindowState(WindowState state) override;
  WindowState GetWindowState() const override;

  // The setters below do nothing on a window that is not loaded, and the
  // getters answer "" and 0.
  void SetCaption(const std::string& caption) override;
  void SetEnabled(bool enabled) override;

  std::string Command1Caption() const override;
  void SetCommand1Caption(const std::string& caption) override;
  void SetCommand1Enabled(bool enabled) override;
  void SetCommand2Enabled(bool enabled) override;
  void FocusTxtOver() override;

  double WidthTwips() const override;
  double HeightTwips() const override;
  void SetLeftTwips(float left) override;
  void SetTopTwips(float top) override;
  double ScreenWidthTwips() const override;
  double ScreenHeightTwips() const override;

  void InstallSizeGuard() override;
  void RemoveSizeGuard() override;

  // The window handle; null when not loaded.
  HWND hwnd() const noexcept { return hwnd_; }

 private:
  static LRESULT CALLBACK WindowProcThunk(HWND hwnd, UINT msg, WPARAM wParam,
                                         LPARAM lParam) noexcept;
  LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  void OnCommand(int id, int notification, HWND control);
  LRESULT OnCtlColorStatic(HDC dc, HWND control);
  void OnSize();
  void OnClose();
  void OnActivate(WPARAM wParam);
  void OnSetFocus();
  void OnDestroy();
  void OnNcDestroy();

  void RegisterWindowClass();
  void CreateControls();
  struct ControlDesign;
  HWND CreateControl(const ControlDesign& design);
  void ShowHandlerFailure(const char* description) noexcept;

  Context& ctx_;
  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  HWND command1_ = nullptr;
  HWND command2_ = nullptr;
  HWND txtOver_ = nullptr;
  HWND label1_ = nullptr;
  // The control that gets the focus back when the window is activated.
  HWND focus_ = nullptr;
  // Set once the window is complete, so that a window that failed half way
  // through its creation does not end the message loop when it goes.
  bool quitOnDestroy_ = false;
  bool unloading_ = false;
  // Owned by the window's object: destroyed after the window (at the next
  // load, or with the object, whose destructor destroys the window first).
  ProgramIcons icons_;
};

}  // namespace orvane::win32
