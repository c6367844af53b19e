#pragma once
// Text conversions at the edge between the portable code (UTF-8) and the
// wide Win32 API (UTF-16), and to the ANSI code page for files that the
// program writes as ANSI text.

#include <string>

namespace orvane::win32 {

// Malformed UTF-8 sequences become U+FFFD.
std::wstring Utf8ToWide(const std::string& text);

// Unpaired surrogates become U+FFFD.
std::string WideToUtf8(const std::wstring& text);

// Characters that the ANSI code page (CP_ACP) lacks become their best-fit
// look-alike where the system has one (Omega becomes "O" in code page 1252)
// and the code page's default character ("?") otherwise, as the scripting
// runtime's text files have them.
std::string WideToAnsi(const std::wstring& text);

}  // namespace orvane::win32
