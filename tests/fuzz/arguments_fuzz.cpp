// Any command line: no crash, and every flag holds exactly -1 or 0.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/arguments.h"

namespace {

void CheckFlag(orvane::IntBool flag) {
  if (flag != orvane::kTrue && flag != orvane::kFalse) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string commandLine(reinterpret_cast<const char*>(data), size);
  orvane::SharedState state;
  orvane::ReadSwitches(orvane::ArgumentTextOf(commandLine), state);
  orvane::ReadSwitches(commandLine, state);
  CheckFlag(state.bAutoStart);
  CheckFlag(state.bRestoreWhenDone);
  CheckFlag(state.bExitWhenDone);
  CheckFlag(state.bStopRequested);
  CheckFlag(state.bMinimized);
  return 0;
}
