#pragma once
// The path of this process's exe: the event source's message file, and the
// folder whose permissions a run with administrator rights checks.

#include <string>

namespace orvane::win32 {

// This exe's full path; empty when it cannot be had.
std::wstring ProgramPath();

}  // namespace orvane::win32
