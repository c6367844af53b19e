#pragma once
// What a test asks of the stand-in, and its log.
//
// <Windows dir>\wmistub.ini, read afresh at every call, so that a test may
// change it while the program runs; one switch a line:
//   connect=refuse        ConnectServer answers WBEM_E_ACCESS_DENIED
//   deny=DfrgNtfs.exe     Terminate answers ReturnValue 2 (access denied) for
//                         processes of this image name, and ends none of them
//   fail=<text>           a query whose text holds <text> fails with
//                         WBEM_E_FAILED (from Next when the query was made
//                         with WBEM_FLAG_RETURN_IMMEDIATELY, as WMI reports
//                         such failures)
//   delay=<ms>            each call into the service takes this long
// deny= and fail= may be given more than once.
//
// Every call is logged to <Windows dir>\temp\wmistub.log, one line each in
// UTF-8 ended by CR LF: "pid=<caller>", then the call and its arguments as
// they came, then the answer, separated by tabs.

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace wmistub {

struct Settings {
  bool refuseConnect = false;
  std::vector<std::wstring> deniedImages;
  std::vector<std::wstring> failingQueryTexts;
  DWORD callDelayMs = 0;
};

Settings LoadSettings();

void Log(std::initializer_list<std::wstring> fields);

// Logs `call` as one the stand-in does not serve and answers as WMI does
// for an operation it does not support: WBEM_E_NOT_SUPPORTED.
HRESULT NotSupported(const std::wstring& call);

// COM's rules for a call from a single-threaded apartment to another
// process: refused (RPC_E_CANTCALLOUT_ININPUTSYNCCALL) inside an unanswered
// message sent by another thread; else it waits out delay=, delivering sent
// messages only (the modal loop). Answers S_OK or the refusal.
HRESULT CrossProcessCall();

// "0x80041017"
std::wstring HresultText(HRESULT hr);

// A string argument as text; a null one as "(null)".
std::wstring ArgText(const wchar_t* text);

}  // namespace wmistub
