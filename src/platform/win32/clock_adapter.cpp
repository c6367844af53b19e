#include "platform/win32/clock_adapter.h"

#include <windows.h>

#include <string>

#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_error.h"

namespace orvane::win32 {
namespace {

SYSTEMTIME ToSystemTime(const LocalTime& t) {
  SYSTEMTIME st = {};
  st.wYear = static_cast<WORD>(t.year);
  st.wMonth = static_cast<WORD>(t.month);
  st.wDay = static_cast<WORD>(t.day);
  st.wHour = static_cast<WORD>(t.hour);
  st.wMinute = static_cast<WORD>(t.minute);
  st.wSecond = static_cast<WORD>(t.second);
  return st;
}

// GetDateFormat and GetTimeFormat alike: the first call measures (size with
// the terminating zero), the second writes.
template <class Format>
std::string FormatWith(Format format) {
  const int needed = format(/*buffer=*/nullptr, /*size=*/0);
  if (needed <= 0) throw LastWin32Failure();
  std::wstring text(static_cast<std::size_t>(needed), L'\0');
  const int written = format(text.data(), needed);
  if (written <= 0) throw LastWin32Failure();
  text.resize(static_cast<std::size_t>(written - 1));
  return WideToUtf8(text);
}

}  // namespace

LocalTime Win32Clock::Now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  LocalTime t;
  t.year = st.wYear;
  t.month = st.wMonth;
  t.day = st.wDay;
  t.hour = st.wHour;
  t.minute = st.wMinute;
  t.second = st.wSecond;
  return t;
}

std::string Win32Clock::ShortDate(const LocalTime& t) {
  const SYSTEMTIME st = ToSystemTime(t);
  return FormatWith([&st](wchar_t* buffer, int size) {
    return GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st,
                          /*lpFormat=*/nullptr, buffer, size);
  });
}

std::string Win32Clock::LongTime(const LocalTime& t) {
  const SYSTEMTIME st = ToSystemTime(t);
  return FormatWith([&st](wchar_t* buffer, int size) {
    return GetTimeFormatW(LOCALE_USER_DEFAULT, /*dwFlags=*/0, &st,
                          /*lpFormat=*/nullptr, buffer, size);
  });
}

}  // namespace orvane::win32
