#include "platform/win32/win32_error.h"

#include <cwctype>
#include <string>

#include "platform/win32/resource.h"
#include "platform/win32/text_encoding.h"

namespace orvane::win32 {
namespace {

std::wstring FormatSystemMessage(DWORD code) {
  UniqueLocalMemory buffer;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
          FORMAT_MESSAGE_IGNORE_INSERTS,
      /*lpSource=*/nullptr, code, /*dwLanguageId=*/0,
      reinterpret_cast<wchar_t*>(buffer.addressof()), /*nSize=*/0,
      /*Arguments=*/nullptr);
  if (length == 0 || !buffer) return {};
  std::wstring text(static_cast<const wchar_t*>(buffer.get()), length);
  // The texts end with CR LF, some with a blank before it; the sentence's
  // own full stop stays.
  while (!text.empty() && std::iswspace(text.back())) text.pop_back();
  return text;
}

}  // namespace

std::string SystemMessage(HRESULT hr) {
  std::wstring text = FormatSystemMessage(static_cast<DWORD>(hr));
  // The system table holds Win32 errors by their plain number.
  if (text.empty() && HRESULT_FACILITY(hr) == FACILITY_WIN32) {
    text = FormatSystemMessage(HRESULT_CODE(hr));
  }
  if (!text.empty()) return WideToUtf8(text);
  // "Error 0x8004100E", by hand: printf would link the C runtime's whole
  // formatter, floating point included (some 20 KB), for this one line.
  std::string fallback = "Error 0x00000000";
  const auto value = static_cast<DWORD>(hr);
  for (int digit = 0; digit < 8; ++digit) {
    fallback[fallback.size() - 1 - digit] =
        "0123456789ABCDEF"[(value >> (4 * digit)) & 0xF];
  }
  return fallback;
}

Failure FailureFromHresult(HRESULT hr) {
  return Failure(static_cast<std::int32_t>(hr), SystemMessage(hr));
}

Failure FailureFromWin32(DWORD error) {
  return FailureFromHresult(HRESULT_FROM_WIN32(error));
}

Failure FailureFromWin32(DWORD error, const std::string& subject) {
  Failure failure = FailureFromWin32(error);
  std::string text = failure.what();
  const std::size_t insert = text.find("%1");
  if (insert == std::string::npos) return failure;
  text.replace(insert, 2, subject);
  return Failure(failure.number(), text);
}

Failure LastWin32Failure() {
  const DWORD error = GetLastError();
  return FailureFromWin32(error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE);
}

}  // namespace orvane::win32
