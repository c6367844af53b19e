#include "scratch_directory.h"

#include <windows.h>

#include "platform/win32/resource.h"

namespace orvane::win32::testing {
namespace {

void RemoveTree(const std::wstring& dir) {
  WIN32_FIND_DATAW found;
  UniqueFind search(FindFirstFileW((dir + L"\\*").c_str(), &found));
  if (search) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = dir + L"\\" + name;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(search.get(), &found));
  }
  RemoveDirectoryW(dir.c_str());
}

}  // namespace

ScratchDirectory::ScratchDirectory() {
  static int count = 0;
  wchar_t temp[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
  path_.assign(temp, length);
  if (!path_.empty() && path_.back() == L'\\') path_.pop_back();
  path_ += L"\\orvane adapters " + std::to_wstring(GetCurrentProcessId()) +
           L" " + std::to_wstring(++count);
  RemoveTree(path_);
  CreateDirectoryW(path_.c_str(), /*lpSecurityAttributes=*/nullptr);
}

ScratchDirectory::~ScratchDirectory() { RemoveTree(path_); }

std::string ReadBytes(const std::wstring& path) {
  UniqueFile file(CreateFileW(
      path.c_str(), GENERIC_READ,
      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      /*lpSecurityAttributes=*/nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
      /*hTemplateFile=*/nullptr));
  if (!file) return {};
  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file.get(), buffer, sizeof buffer, &read,
                  /*lpOverlapped=*/nullptr) &&
         read > 0) {
    bytes.append(buffer, read);
  }
  return bytes;
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring ProgramDirectory() {
  wchar_t path[MAX_PATH + 1];
  const DWORD length = GetModuleFileNameW(/*hModule=*/nullptr, path, MAX_PATH + 1);
  std::wstring dir(path, length);
  return dir.substr(0, dir.rfind(L'\\'));
}

}  // namespace orvane::win32::testing
