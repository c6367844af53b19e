#include "sim_config.h"

#include <windows.h>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <sstream>

#include "owned_handle.h"

namespace simdefrag {
namespace {

std::string Narrow(const std::wstring& text) {
  if (text.empty()) return {};
  int length = WideCharToMultiByte(CP_UTF8, 0, text.data(),
                                   static_cast<int>(text.size()), nullptr, 0,
                                   /*lpDefaultChar=*/nullptr,
                                   /*lpUsedDefaultChar=*/nullptr);
  std::string narrow(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                      narrow.data(), length, /*lpDefaultChar=*/nullptr,
                      /*lpUsedDefaultChar=*/nullptr);
  return narrow;
}

std::string Trim(const std::string& text) {
  const char* blanks = " \t\r\n";
  size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return {};
  size_t last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}

// "7", "-1", "0xC0000005": any value that fits 32 bits, signed or not.
bool ParseInt32(const std::string& text, std::int32_t* value) {
  char* end = nullptr;
  long long parsed = std::strtoll(text.c_str(), &end, 0);
  if (text.empty() || *end != '\0') return false;
  if (parsed < INT32_MIN || parsed > static_cast<long long>(UINT32_MAX))
    return false;
  *value = static_cast<std::int32_t>(static_cast<std::uint32_t>(parsed));
  return true;
}

bool ParseRule(const std::string& line, DriveRule* rule) {
  std::istringstream words(line);
  std::string key;
  words >> key;
  if (key == "*") {
    rule->key = L'*';
  } else if (key.size() == 2 && key[1] == ':' &&
             std::isalpha(static_cast<unsigned char>(key[0]))) {
    rule->key = static_cast<wchar_t>(
        std::toupper(static_cast<unsigned char>(key[0])));
  } else {
    return false;
  }
  std::string setting;
  while (words >> setting) {
    size_t equals = setting.find('=');
    if (equals == std::string::npos) continue;
    std::string name = setting.substr(0, equals);
    std::string value = setting.substr(equals + 1);
    std::int32_t number = 0;
    if (!ParseInt32(value, &number)) continue;
    if (name == "exit") {
      rule->behaviour.exitCode = number;
    } else if (name == "ms" && number >= 0) {
      rule->behaviour.durationMs = static_cast<unsigned long>(number);
    } else if (name == "engine") {
      rule->behaviour.runEngine = number != 0;
    } else if (name == "crash") {
      rule->behaviour.crash = number != 0;
    } else if (name == "go") {
      rule->behaviour.untilGo = number != 0;
    }
  }
  return true;
}

}  // namespace

std::wstring Widen(const std::string& text) {
  if (text.empty()) return {};
  int length = MultiByteToWideChar(CP_UTF8, 0, text.data(),
                                   static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                      wide.data(), length);
  return wide;
}

Behaviour Config::For(wchar_t drive) const {
  for (const DriveRule& rule : rules)
    if (drive != 0 && rule.key == drive) return rule.behaviour;
  for (const DriveRule& rule : rules)
    if (rule.key == L'*') return rule.behaviour;
  return Behaviour{};
}

std::wstring WindowsDirectory() {
  wchar_t buffer[MAX_PATH] = {};
  UINT length = GetWindowsDirectoryW(buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return L"C:\\windows";
  return std::wstring(buffer, length);
}

Config ParseConfig(const std::string& text, std::wstring defaultLogPath) {
  Config config;
  config.logPath = std::move(defaultLogPath);
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    line = Trim(line);
    if (line.empty() || line[0] == '#' || line[0] == ';') continue;
    if (line.compare(0, 4, "log=") == 0) {
      std::string path = Trim(line.substr(4));
      if (!path.empty()) config.logPath = Widen(path);
      continue;
    }
    DriveRule rule;
    if (ParseRule(line, &rule)) config.rules.push_back(rule);
  }
  return config;
}

std::string ReadFileText(const std::wstring& path) {
  OwnedHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE,
                               /*lpSecurityAttributes=*/nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                               /*hTemplateFile=*/nullptr));
  std::string text;
  if (file.valid()) {
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &read,
                    /*lpOverlapped=*/nullptr) &&
           read > 0)
      text.append(buffer, read);
  }
  return text;
}

Config LoadConfig() {
  std::wstring windows = WindowsDirectory();
  return ParseConfig(ReadFileText(windows + L"\\simdefrag.ini"),
                     windows + L"\\temp\\simdefrag.log");
}

void AppendLog(const std::wstring& logPath, const std::wstring& line) {
  OwnedHandle file(CreateFileW(logPath.c_str(), FILE_APPEND_DATA,
                               FILE_SHARE_READ | FILE_SHARE_WRITE,
                               /*lpSecurityAttributes=*/nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL,
                               /*hTemplateFile=*/nullptr));
  if (!file.valid()) return;  // a run without a log still simulates
  std::string bytes = Narrow(line) + "\r\n";
  DWORD written = 0;
  WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
            &written, /*lpOverlapped=*/nullptr);
}

}  // namespace simdefrag
