// The program's entry point: sets up the process, wires the Win32 adapters
// and the window into the logic's Context, runs start-up and then the
// message loop for as long as the window is loaded.

#include <windows.h>
#include <commctrl.h>

#include "app/arguments.h"
#include "app/startup.h"
#include "core/context.h"
#include "core/program_title.h"
#include "platform/win32/clock_adapter.h"
#include "platform/win32/directories_adapter.h"
#include "platform/win32/drives_adapter.h"
#include "platform/win32/event_log_adapter.h"
#include "platform/win32/file_probe_adapter.h"
#include "platform/win32/loader.h"
#include "platform/win32/management_adapter.h"
#include "platform/win32/message_dialog_adapter.h"
#include "platform/win32/message_dispatch.h"
#include "platform/win32/previous_instance_adapter.h"
#include "platform/win32/process_list_adapter.h"
#include "platform/win32/scoped_com.h"
#include "platform/win32/security.h"
#include "platform/win32/shell_adapter.h"
#include "platform/win32/text_appender_adapter.h"
#include "platform/win32/text_encoding.h"
#include "ui/win32/frm_orvane.h"
#include "ui/win32/message_loop.h"

namespace {

// Windows ends processes from the highest level down; every process starts
// at 0x280, and 0x300 to 0x3FF is the applications' first range.
constexpr DWORD kShutdownLevel = 0x300;

int Run(HINSTANCE instance) {
  using namespace orvane;
  using namespace orvane::win32;

  // Before everything that may need it, so that it goes last.
  ComOnFirstUse com;

  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                      ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  Win32Directories directories;
  Win32FileProbe files;
  Win32TextAppender text;
  Win32Drives drives;
  Win32ShellFactory shells(&com);
  Win32ManagementService management(&com);
  Win32ProcessList processes;
  Win32Clock clock;
  Win32EventLog events(kProgramTitle);
  Win32MessageDialog dialogs(events);
  Win32PreviousInstance previousInstance;
  Win32MessageWait messages;
  Win32ProcessAccount account;
  Context ctx{Services{directories, files, text, drives, shells, management,
                       processes, clock, dialogs, previousInstance, events,
                       messages, account},
              SharedState{}, std::string{}};

  // Declared after ctx: its terminate handling runs while ctx still lives.
  FrmOrvane form(ctx, instance);
  ctx.state.oMainForm = &form;
  ctx.argumentText = ArgumentTextOf(WideToUtf8(GetCommandLineW()));

  bool escaped = false;
  try {
    Main(ctx);
  } catch (const std::exception& e) {
    // Start-up guards its own steps; this is the last line for anything
    // else, so that no exception leaves the program.
    escaped = true;
    try {
      dialogs.Show(kEventUnexpectedFailure, e.what(), kStyleCritical,
                   kProgramTitle);
    } catch (...) {
    }
  } catch (...) {
    escaped = true;
  }
  // A failure that ends the program is no success.
  if (escaped && !form.IsLoaded()) ctx.state.nExitCode = 1;

  if (form.IsLoaded()) RunMessageLoop();
  return ctx.state.nExitCode;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/,
                    PWSTR /*commandLine*/, int /*showCommand*/) {
  orvane::win32::LoadDllsFromSystemDirectoryOnly();
  // Told of the end of the session before the programs of the default
  // level, the defragmenter among them, are ended: the first of the
  // applications' range.
  SetProcessShutdownParameters(kShutdownLevel, /*dwFlags=*/0);
  try {
    return Run(instance);
  } catch (...) {
    // Setting up failed before start-up could report anything.
    return 1;
  }
}
