#pragma once
// The Start/Stop button's work: start a pass unless another defragmenter
// works, or stop the running pass and end the defragmenter's processes.

#include "core/context.h"

namespace orvane {

// Decides by Command1's caption. Failures of the window's operations pass to
// the caller; the queries and the pass handle their own.
void ToggleRun(Context& ctx);

}  // namespace orvane
