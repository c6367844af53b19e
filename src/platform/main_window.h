#pragma once
// The main window's operations that start-up, the controller and the pass
// use. The Win32 window implements them; tests use a fake.
//
// Geometry is in twips (1/1440 inch), converted at the display's density.

#include <string>

namespace orvane {

enum class WindowState { kNormal = 0, kMinimized = 1, kMaximized = 2 };

class MainWindow {
 public:
  virtual ~MainWindow() = default;

  // Loads the window (runs its load handling, which shows it) unless it is
  // loaded already. A window that was unloaded can be loaded again.
  virtual void Load() = 0;
  virtual bool IsLoaded() const = 0;
  // Runs the closing handling and removes the window; nothing when it is
  // not loaded.
  virtual void Unload() = 0;
  virtual void Show() = 0;
  virtual void Hide() = 0;

  // Setting the state of a window that is not loaded loads it first.
  virtual void SetWindowState(WindowState state) = 0;
  virtual WindowState GetWindowState() const = 0;

  virtual void SetCaption(const std::string& caption) = 0;
  virtual void SetEnabled(bool enabled) = 0;

  virtual std::string Command1Caption() const = 0;
  virtual void SetCommand1Caption(const std::string& caption) = 0;
  virtual void SetCommand1Enabled(bool enabled) = 0;
  virtual void SetCommand2Enabled(bool enabled) = 0;
  virtual void FocusTxtOver() = 0;

  // The outer rectangle, frame and title bar included.
  virtual double WidthTwips() const = 0;
  virtual double HeightTwips() const = 0;
  virtual void SetLeftTwips(float left) = 0;
  virtual void SetTopTwips(float top) = 0;
  virtual double ScreenWidthTwips() const = 0;
  virtual double ScreenHeightTwips() const = 0;

  // The fixed-size guard: installed first thing at load, removed first
  // thing at unload.
  virtual void InstallSizeGuard() = 0;
  virtual void RemoveSizeGuard() = 0;
};

}  // namespace orvane
