#pragma once
// A real FrmOrvane on the fakes of the outside services: the window as the
// entry point wires it, but with nothing outside touched. Drive C: is fixed
// and the defragmenter present; the month's report exists only when a test
// puts it there.

#include <windows.h>

#include "core/context.h"
#include "fake_services.h"
#include "report/report_file.h"
#include "ui/win32/frm_orvane.h"

namespace orvane::win32 {

struct WindowWorld {
  fakes::FakeDirectories directories;
  fakes::FakeFiles files;
  fakes::FakeDrives drives;
  fakes::FakeShellFactory shells;
  fakes::FakeManagement management;
  fakes::FakeClock clock;
  fakes::FakeDialogs dialogs;
  fakes::FakePreviousInstance previous;
  fakes::FakeEventLog events;
  fakes::FakeMessageWait messages;
  fakes::FakeAccount account;
  Context ctx{Services{directories, files, files, drives, shells, management,
                       management, clock, dialogs, previous, events, messages, account},
              SharedState{}, ""};
  // After ctx: its terminate handling runs while ctx lives.
  FrmOrvane form{ctx, GetModuleHandleW(/*lpModuleName=*/nullptr)};

  WindowWorld() {
    ctx.state.oMainForm = &form;
    files.contents["C:\\WINDOWS\\system32\\defrag.exe"] = "MZ";
    drives.drives = {{"C:", kDriveFixed}};
  }

  void PutReport() { files.contents[ReportPath(ctx.services)] = "report\r\n"; }

  HWND hwnd() const { return form.hwnd(); }
  HWND Control(int id) const { return GetDlgItem(form.hwnd(), id); }
};

// Handles the messages already queued (posted ones included) without
// waiting, the way the main loop would; answers whether WM_QUIT was among
// them.
bool PumpPending();

}  // namespace orvane::win32
