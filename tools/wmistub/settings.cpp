#include "settings.h"

#include <wbemcli.h>

#include <cwchar>
#include <sstream>

#include "sim_config.h"

namespace wmistub {
namespace {

std::wstring Trim(const std::wstring& text) {
  const wchar_t* blanks = L" \t\r\n";
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::wstring::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace

Settings LoadSettings() {
  Settings settings;
  std::wistringstream lines(simdefrag::Widen(simdefrag::ReadFileText(
      simdefrag::WindowsDirectory() + L"\\wmistub.ini")));
  std::wstring line;
  while (std::getline(lines, line)) {
    line = Trim(line);
    const size_t equals = line.find(L'=');
    if (line.empty() || line[0] == L'#' || equals == std::wstring::npos)
      continue;
    const std::wstring name = Trim(line.substr(0, equals));
    const std::wstring value = Trim(line.substr(equals + 1));
    if (name == L"connect") settings.refuseConnect = value == L"refuse";
    if (name == L"deny") settings.deniedImages.push_back(value);
    if (name == L"fail") settings.failingQueryTexts.push_back(value);
    if (name == L"delay")
      settings.callDelayMs = std::wcstoul(value.c_str(), nullptr, 10);
  }
  return settings;
}

void Log(std::initializer_list<std::wstring> fields) {
  std::wstring line = L"pid=" + std::to_wstring(GetCurrentProcessId());
  for (const std::wstring& field : fields) line += L"\t" + field;
  simdefrag::AppendLog(simdefrag::WindowsDirectory() + L"\\temp\\wmistub.log",
                       line);
}

HRESULT NotSupported(const std::wstring& call) {
  Log({L"unsupported", call});
  return static_cast<HRESULT>(WBEM_E_NOT_SUPPORTED);
}

HRESULT CrossProcessCall() {
  if ((InSendMessageEx(nullptr) & (ISMEX_SEND | ISMEX_REPLIED)) == ISMEX_SEND)
    return RPC_E_CANTCALLOUT_ININPUTSYNCCALL;
  const DWORD delay = LoadSettings().callDelayMs;
  const DWORD start = GetTickCount();
  for (DWORD spent = 0; spent < delay; spent = GetTickCount() - start) {
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, delay - spent, QS_SENDMESSAGE);
  }
  return S_OK;
}

std::wstring HresultText(HRESULT hr) {
  wchar_t text[16];
  std::swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

std::wstring ArgText(const wchar_t* text) {
  return text == nullptr ? L"(null)" : text;
}

}  // namespace wmistub
