#pragma once
// Flags are 16-bit integers holding -1 for true and 0 for false, and
// nothing else.

#include <cstdint>

namespace orvane {

using IntBool = std::int16_t;
constexpr IntBool kTrue = -1;
constexpr IntBool kFalse = 0;

constexpr IntBool ToIntBool(bool value) { return value ? kTrue : kFalse; }

}  // namespace orvane
