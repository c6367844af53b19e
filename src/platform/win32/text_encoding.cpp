#include "platform/win32/text_encoding.h"

#include <windows.h>

#include <climits>

#include "platform/steps.h"

namespace orvane::win32 {
namespace {

int CheckedLength(std::size_t size) {
  if (size > static_cast<std::size_t>(INT_MAX)) {
    // Recorded as any failure that is not the platform's (Steps).
    throw Failure(Steps::kUnexpectedFailure, "text too long to convert");
  }
  return static_cast<int>(size);
}

// Converts from UTF-16 to `codePage`; the first call measures, the second
// writes into a buffer of exactly that size.
std::string FromWide(UINT codePage, const std::wstring& text) {
  if (text.empty()) return {};
  const int length = CheckedLength(text.size());
  const int needed = WideCharToMultiByte(codePage, /*dwFlags=*/0, text.data(),
                                         length, /*lpMultiByteStr=*/nullptr,
                                         /*cbMultiByte=*/0,
                                         /*lpDefaultChar=*/nullptr,
                                         /*lpUsedDefaultChar=*/nullptr);
  if (needed <= 0) return {};
  std::string result(static_cast<std::size_t>(needed), '\0');
  const int written = WideCharToMultiByte(
      codePage, /*dwFlags=*/0, text.data(), length, result.data(), needed,
      /*lpDefaultChar=*/nullptr, /*lpUsedDefaultChar=*/nullptr);
  result.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return result;
}

}  // namespace

std::wstring Utf8ToWide(const std::string& text) {
  if (text.empty()) return {};
  const int length = CheckedLength(text.size());
  const int needed = MultiByteToWideChar(CP_UTF8, /*dwFlags=*/0, text.data(),
                                         length, /*lpWideCharStr=*/nullptr,
                                         /*cchWideChar=*/0);
  if (needed <= 0) return {};
  std::wstring result(static_cast<std::size_t>(needed), L'\0');
  const int written = MultiByteToWideChar(CP_UTF8, /*dwFlags=*/0, text.data(),
                                          length, result.data(), needed);
  result.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return result;
}

std::string WideToUtf8(const std::wstring& text) {
  return FromWide(CP_UTF8, text);
}

std::string WideToAnsi(const std::wstring& text) {
  return FromWide(CP_ACP, text);
}

}  // namespace orvane::win32
