// Appending to the report file and the file existence test, on Wine.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/failure.h"
#include "platform/win32/file_probe_adapter.h"
#include "platform/win32/resource.h"
#include "platform/win32/text_appender_adapter.h"
#include "platform/win32/text_encoding.h"
#include "scratch_directory.h"

namespace orvane::win32 {
namespace {

using testing::ReadBytes;
using testing::ScratchDirectory;

std::string U8(const std::wstring& text) { return WideToUtf8(text); }

UniqueFile Open(const std::wstring& path, DWORD access, DWORD share) {
  return UniqueFile(CreateFileW(path.c_str(), access, share, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// ---------------------------------------------------------------------------
// TextAppender

class TextAppenderTest : public ::testing::Test {
 protected:
  ScratchDirectory scratch_;
  const std::wstring path_ = scratch_ / L"DefragReport122026.txt";
  Win32TextAppender appender_;
};

TEST_F(TextAppenderTest, CreatesTheFileWithTheTextsBytes) {
  appender_.Append(U8(path_), "12/7/2026 - 6:46:13 AM\r\nC: ok\r\n\r\n");
  EXPECT_EQ(ReadBytes(path_), "12/7/2026 - 6:46:13 AM\r\nC: ok\r\n\r\n");
}

TEST_F(TextAppenderTest, TwoAppendsFollowEachOther) {
  appender_.Append(U8(path_), "first\r\n");
  appender_.Append(U8(path_), "second\r\n");
  EXPECT_EQ(ReadBytes(path_), "first\r\nsecond\r\n");
}

TEST_F(TextAppenderTest, EmptyTextCreatesAnEmptyFile) {
  appender_.Append(U8(path_), "");
  EXPECT_TRUE(testing::Exists(path_));
  EXPECT_EQ(ReadBytes(path_), "");
}

TEST_F(TextAppenderTest, WritesTheAnsiCodePage) {
  if (GetACP() != 1252) GTEST_SKIP() << "ANSI code page " << GetACP();
  // e acute is in code page 1252; a Chinese character is not and has no
  // look-alike there either.
  appender_.Append(U8(path_), "caf\xC3\xA9 \xE4\xB8\xAD\r\n");
  EXPECT_EQ(ReadBytes(path_), "caf\xE9 ?\r\n");
}

TEST_F(TextAppenderTest, PathWithNonAsciiCharactersIsUsedAsGiven) {
  const std::wstring path = scratch_ / L"r\u00e9port \u03a9.txt";
  appender_.Append(U8(path), "x\r\n");
  EXPECT_EQ(ReadBytes(path), "x\r\n");
}

TEST_F(TextAppenderTest, ReaderSharingReadAndWriteDoesNotBlockIt) {
  appender_.Append(U8(path_), "one\r\n");
  UniqueFile reader =
      Open(path_, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
  ASSERT_TRUE(reader);
  appender_.Append(U8(path_), "two\r\n");
  EXPECT_EQ(ReadBytes(path_), "one\r\ntwo\r\n");
}

TEST_F(TextAppenderTest, AnotherAppenderHoldingTheFileDoesNotBlockIt) {
  UniqueFile other = Open(path_, FILE_APPEND_DATA,
                          FILE_SHARE_READ | FILE_SHARE_WRITE);
  ASSERT_TRUE(other);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(other.get(), "a\r\n", 3, &written, nullptr));
  appender_.Append(U8(path_), "b\r\n");
  ASSERT_TRUE(WriteFile(other.get(), "c\r\n", 3, &written, nullptr));
  // Appends go to the end as it is at each write: nothing is overwritten.
  EXPECT_EQ(ReadBytes(path_), "a\r\nb\r\nc\r\n");
}

struct HolderCase {
  const char* name;
  DWORD access;
  DWORD share;
};

class TextAppenderHeldTest
    : public TextAppenderTest,
      public ::testing::WithParamInterface<HolderCase> {};

TEST_P(TextAppenderHeldTest, ThrowsSharingViolationAndWritesNothing) {
  appender_.Append(U8(path_), "before\r\n");
  {
    UniqueFile holder = Open(path_, GetParam().access, GetParam().share);
    ASSERT_TRUE(holder);
    try {
      appender_.Append(U8(path_), "blocked\r\n");
      FAIL() << "no failure";
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.number(), static_cast<std::int32_t>(HRESULT_FROM_WIN32(
                                      ERROR_SHARING_VIOLATION)));
      EXPECT_STRNE(failure.what(), "");
    }
  }
  EXPECT_EQ(ReadBytes(path_), "before\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Holders, TextAppenderHeldTest,
    ::testing::Values(
        HolderCase{"Exclusive", GENERIC_READ | GENERIC_WRITE, 0},
        HolderCase{"ReaderNotSharingWrite", GENERIC_READ, FILE_SHARE_READ}),
    [](const ::testing::TestParamInfo<HolderCase>& info) {
      return std::string(info.param.name);
    });

bool RunsOnWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") !=
         nullptr;
}

TEST_F(TextAppenderTest, LockedRangeMakesItThrowAndWriteNothing) {
  if (RunsOnWine()) GTEST_SKIP() << "Wine does not enforce byte-range locks";
  appender_.Append(U8(path_), "before\r\n");
  UniqueFile holder = Open(path_, GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE);
  ASSERT_TRUE(holder);
  OVERLAPPED whole = {};
  ASSERT_TRUE(LockFileEx(holder.get(), LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD,
                         MAXDWORD, &whole));
  EXPECT_THROW(appender_.Append(U8(path_), "blocked\r\n"), Failure);
  UnlockFileEx(holder.get(), 0, MAXDWORD, MAXDWORD, &whole);
  EXPECT_EQ(ReadBytes(path_), "before\r\n");
}

TEST_F(TextAppenderTest, MissingDirectoryThrowsPathNotFound) {
  try {
    appender_.Append(U8(scratch_ / L"missing\\report.txt"), "x\r\n");
    FAIL() << "no failure";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.number(),
              static_cast<std::int32_t>(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)));
  }
}

// ---------------------------------------------------------------------------
// FileProbe

struct ProbeCase {
  const char* name;
  const wchar_t* path;  // under the scratch directory; "" for "" itself
  bool expected;
};

class FileProbeTest : public ::testing::TestWithParam<ProbeCase> {
 protected:
  void SetUp() override {
    MakeFile(L"plain.txt", FILE_ATTRIBUTE_NORMAL);
    MakeFile(L"readonly.txt", FILE_ATTRIBUTE_READONLY);
    MakeFile(L"archive.txt", FILE_ATTRIBUTE_ARCHIVE);
    MakeFile(L"hidden.txt", FILE_ATTRIBUTE_HIDDEN);
    MakeFile(L"system.txt", FILE_ATTRIBUTE_SYSTEM);
    MakeFile(L"hidden system.txt",
             FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(CreateDirectoryW((scratch_ / L"folder").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((scratch_ / L"folder.txt").c_str(), nullptr));
  }

  void MakeFile(const wchar_t* name, DWORD attributes) {
    const std::wstring path = scratch_ / name;
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file);
    file.reset();
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), attributes));
  }

  ScratchDirectory scratch_;
};

TEST_P(FileProbeTest, FindsOnlyOrdinaryFilesAtTheExactPath) {
  const std::wstring path =
      *GetParam().path ? scratch_ / GetParam().path : std::wstring();
  EXPECT_EQ(Win32FileProbe().IsOrdinaryFile(U8(path)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, FileProbeTest,
    ::testing::Values(
        ProbeCase{"Plain", L"plain.txt", true},
        ProbeCase{"OtherLetterCase", L"PLAIN.TXT", true},
        ProbeCase{"ReadOnly", L"readonly.txt", true},
        ProbeCase{"Archive", L"archive.txt", true},
        ProbeCase{"Hidden", L"hidden.txt", false},
        ProbeCase{"System", L"system.txt", false},
        ProbeCase{"HiddenSystem", L"hidden system.txt", false},
        ProbeCase{"Directory", L"folder", false},
        ProbeCase{"DirectoryNamedLikeAFile", L"folder.txt", false},
        ProbeCase{"Missing", L"missing.txt", false},
        ProbeCase{"MissingDirectory", L"missing\\plain.txt", false},
        ProbeCase{"FileAsDirectory", L"plain.txt\\x.txt", false},
        ProbeCase{"InvalidCharacter", L"plain|.txt", false},
        ProbeCase{"Star", L"*.txt", false},
        ProbeCase{"StarMatchingOnlyOrdinary", L"plai*", false},
        ProbeCase{"Question", L"plain.tx?", false},
        ProbeCase{"DosStar", L"plain<", false},
        ProbeCase{"Empty", L"", false}),
    [](const ::testing::TestParamInfo<ProbeCase>& info) {
      return std::string(info.param.name);
    });

}  // namespace
}  // namespace orvane::win32
