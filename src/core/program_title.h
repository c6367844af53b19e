#pragma once

namespace orvane {

// The program's title: message boxes carry it.
constexpr char kProgramTitle[] = "Orvane";

}  // namespace orvane
