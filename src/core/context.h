#pragma once
// Everything the program's logic works with: the outside services and the
// shared state. The entry point wires the Win32 adapters in; tests wire fakes.

#include <string>

#include "core/shared_state.h"
#include "platform/account.h"
#include "platform/clock.h"
#include "platform/directories.h"
#include "platform/drives.h"
#include "platform/event_log.h"
#include "platform/file_probe.h"
#include "platform/management.h"
#include "platform/message_dialog.h"
#include "platform/message_wait.h"
#include "platform/previous_instance.h"
#include "platform/process_list.h"
#include "platform/shell.h"
#include "platform/text_file.h"

namespace orvane {

struct Services {
  Directories& directories;
  FileProbe& files;
  TextAppender& text;
  Drives& drives;
  ShellFactory& shells;
  ManagementService& management;
  ProcessList& processes;
  Clock& clock;
  MessageDialog& dialogs;
  PreviousInstance& previousInstance;
  EventLog& events;
  MessageWait& messages;
  ProcessAccount& account;
};

struct Context {
  Services services;
  SharedState state;
  std::string argumentText;  // the command line without the program's path
};

}  // namespace orvane
