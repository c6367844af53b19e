#pragma once
// The objects that the stand-in hands out: the class Win32_Process, its
// instances (holding only the properties a query selected), and the
// __PARAMETERS objects of its method Terminate.

#include <windows.h>
#include <wbemcli.h>

#include <optional>
#include <string>
#include <vector>

#include "processes.h"

namespace wmistub {

// Win32_Process's properties that the stand-in knows, and its key.
extern const std::vector<std::wstring> kProcessProperties;
extern const wchar_t kProcessKey[];  // "Handle"

// The relative path of a process, Win32_Process.Handle="<id>".
std::wstring ProcessRelPath(DWORD id);

IWbemClassObject* NewProcessClass();

// An instance with the properties `selected` (every one when empty).
IWbemClassObject* NewProcess(const ProcessInfo& process,
                             const std::vector<std::wstring>& selected);

// The text of one of the properties of `process`; nullopt when null.
std::optional<std::wstring> ProcessProperty(const ProcessInfo& process,
                                            const std::wstring& name);

// An instance of __PARAMETERS holding ReturnValue.
IWbemClassObject* NewReturnValue(LONG value);

}  // namespace wmistub
