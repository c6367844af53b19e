#pragma once
// The tests' own child program (test_child.cpp), and starting it directly.

#include <string>

#include "platform/win32/resource.h"

namespace orvane::win32::testing {

// adapter_test_child.exe beside the test program.
std::wstring ChildProgram();

// Starts `program` with the command line `"<program>" <arguments>`, without
// the shell. Fails the test (and answers no process) when it cannot.
UniqueProcess StartDirectly(const std::wstring& program,
                            const std::wstring& arguments);

// The process's exit code once it has ended within `milliseconds`; -2 when
// it has not.
long long ExitCodeAfter(const UniqueProcess& process, unsigned milliseconds);

}  // namespace orvane::win32::testing
