#pragma once
// The command line: the argument text and the switches read from it.

#include <string>

#include "core/shared_state.h"

namespace orvane {

// The argument text of a full process command line: what follows the
// program's path (quoted or not) and the blanks after it.
std::string ArgumentTextOf(const std::string& commandLine);

// Reads the switches of `argumentText` into `state`: "-S", "-M", "-E" (only
// when no "-M" came before it) and "/R:<letters>", in any letter case.
// Tokens are separated by single blanks; anything else is ignored.
void ReadSwitches(const std::string& argumentText, SharedState& state);

}  // namespace orvane
