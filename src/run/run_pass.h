#pragma once
// The defragmentation pass: every fixed drive in turn, one report line each,
// the run's record appended at the end, the outcome shown in the window.

#include "core/context.h"

namespace orvane {

// Runs one pass. Called by ToggleRun with Command1 disabled and captioned
// "Stop". Never throws: a failing step is recorded, and shows as the title
// "Defrag Error" and an error trailer in the report.
void RunPass(Context& ctx);

}  // namespace orvane
