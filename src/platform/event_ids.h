#pragma once
// The program's events in the Application log. Each ID has a message of its
// own in the exe's message table (resources/orvane_messages.mc, the same
// numbers), whose text takes the event's strings as %1, %2, ...

#include <cstdint>

namespace orvane {

// One per pass, right after its record and any error trailer are appended
// to the report: %1 the record, %2 the trailer (empty when none), exactly
// as appended.
constexpr std::uint32_t kEventPassDefragmented = 100;  // information
constexpr std::uint32_t kEventPassDefragError = 101;   // error
constexpr std::uint32_t kEventPassStopped = 102;       // warning
// A Start refused because another defragmenter is at work (a warning): %1
// the defragmenter's command line that the busy test looks for.
constexpr std::uint32_t kEventStartRefused = 103;
// An unattended start ("-S") that found another instance running and did
// nothing (a warning). No strings.
constexpr std::uint32_t kEventUnattendedStartGaveWay = 104;
// The program's single-instance claim held by something that cannot be an
// instance of the program (an error): nothing was done. No strings.
constexpr std::uint32_t kEventInstanceClaimForeign = 105;
// A run with administrator rights from a folder that others may change (a
// warning): %1 the folder.
constexpr std::uint32_t kEventProgramFolderExposed = 106;

// The message boxes, logged instead where no one can see a box: %1 the
// box's text.
constexpr std::uint32_t kEventDefragmenterNotFound = 200;
constexpr std::uint32_t kEventErrorLoadingProgram = 201;
constexpr std::uint32_t kEventHandlerFailure = 202;
constexpr std::uint32_t kEventUnexpectedFailure = 203;

}  // namespace orvane
