#pragma once
// A window that behaves as the real one does for the logic: loading runs the
// load handler, state changes run the resize handler, unloading runs the
// closing handlers. Every operation is written to `log`.

#include <string>
#include <vector>

#include "core/context.h"
#include "platform/main_window.h"
#include "ui/form_events.h"

namespace orvane::fakes {

class FakeWindow : public MainWindow {
 public:
  explicit FakeWindow(Context& ctx) : ctx_(ctx) {}

  std::vector<std::string> log;
  std::string caption = "Defragment";
  std::string command1Caption = "Start";
  bool command1Enabled = true;
  bool command2Enabled = false;
  bool enabled = true;
  bool loaded = false;
  bool visible = false;
  bool guarded = false;
  WindowState state = WindowState::kNormal;
  double width = 3135, height = 1380;            // outer size, twips
  double screenWidth = 15360, screenHeight = 11520;
  float left = 0, top = 0;
  int loads = 0;

  void Load() override {
    if (loaded) return;
    loaded = true;
    ++loads;
    log.push_back("Load");
    FormLoad(ctx_);
  }
  bool IsLoaded() const override { return loaded; }
  void Unload() override {
    if (!loaded) return;
    log.push_back("Unload");
    FormQueryUnload(ctx_);
    FormUnload(ctx_);
    loaded = false;
    visible = false;
  }
  void Show() override {
    log.push_back("Show");
    visible = true;
  }
  void Hide() override {
    log.push_back("Hide");
    visible = false;
  }
  void SetWindowState(WindowState s) override {
    if (!loaded) Load();
    log.push_back("State=" + std::to_string(static_cast<int>(s)));
    if (state != s) {
      state = s;
      FormResize(ctx_);
    }
  }
  WindowState GetWindowState() const override { return state; }
  void SetCaption(const std::string& c) override {
    log.push_back("Caption=" + c);
    caption = c;
  }
  void SetEnabled(bool e) override {
    log.push_back(std::string("Enabled=") + (e ? "1" : "0"));
    enabled = e;
  }
  std::string Command1Caption() const override { return command1Caption; }
  void SetCommand1Caption(const std::string& c) override {
    log.push_back("Command1=" + c);
    command1Caption = c;
  }
  void SetCommand1Enabled(bool e) override {
    log.push_back(std::string("Command1Enabled=") + (e ? "1" : "0"));
    command1Enabled = e;
  }
  void SetCommand2Enabled(bool e) override {
    log.push_back(std::string("Command2Enabled=") + (e ? "1" : "0"));
    command2Enabled = e;
  }
  void FocusTxtOver() override { log.push_back("Focus=txtOver"); }
  double WidthTwips() const override { return width; }
  double HeightTwips() const override { return height; }
  void SetLeftTwips(float l) override { left = l; }
  void SetTopTwips(float t) override { top = t; }
  double ScreenWidthTwips() const override { return screenWidth; }
  double ScreenHeightTwips() const override { return screenHeight; }
  void InstallSizeGuard() override {
    log.push_back("Guard=on");
    guarded = true;
  }
  void RemoveSizeGuard() override {
    log.push_back("Guard=off");
    guarded = false;
  }

 private:
  Context& ctx_;
};

}  // namespace orvane::fakes
