// The management service on Wine: finding processes by name, ending them,
// and failing on a malformed query.

#include "platform/win32/management_adapter.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "child_process.h"
#include "platform/failure.h"
#include "platform/win32/text_encoding.h"
#include "scratch_directory.h"

namespace orvane::win32 {
namespace {

using testing::ChildProgram;
using testing::ExitCodeAfter;
using testing::ScratchDirectory;
using testing::StartDirectly;

std::wstring OwnImageName() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring image(path, length);
  return image.substr(image.rfind(L'\\') + 1);
}

Win32ManagedProcess& AsWin32(const std::unique_ptr<ManagedProcess>& p) {
  return dynamic_cast<Win32ManagedProcess&>(*p);
}

// Copies of the test child under names of their own, so that queries by
// image name find only what the test started; ended at the test's end.
class ManagementTest : public ::testing::Test {
 protected:
  ~ManagementTest() override {
    for (UniqueProcess& child : children_) {
      TerminateProcess(child.get(), 99);
      WaitForSingleObject(child.get(), 5000);
    }
  }

  // Starts a copy named "<stem><pid>.exe" that sleeps for a minute, and
  // answers its image name.
  std::wstring StartChild(const std::wstring& stem) {
    const std::wstring image =
        stem + std::to_wstring(GetCurrentProcessId()) + L".exe";
    const std::wstring program = scratch_ / image;
    EXPECT_TRUE(CopyFileW(ChildProgram().c_str(), program.c_str(), FALSE));
    children_.push_back(StartDirectly(program, L"- 0 60000"));
    return image;
  }

  ProcessCollection Query(const std::wstring& query) {
    return service_.ExecQuery(WideToUtf8(query));
  }

  ScratchDirectory scratch_;
  std::vector<UniqueProcess> children_;
  Win32ManagementService service_;
};

TEST_F(ManagementTest, FindsOwnProcessByNameWithItsHandle) {
  const ProcessCollection found = Query(
      L"Select Name, Handle from Win32_Process Where Name = '" +
      OwnImageName() + L"'");
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(AsWin32(found[0]).handle(),
            std::to_wstring(GetCurrentProcessId()));
}

TEST_F(ManagementTest, NoMatchGivesAnEmptyCollection) {
  EXPECT_TRUE(Query(L"Select Name from Win32_Process Where Name = "
                    L"'orvane no such process.exe'")
                  .empty());
}

TEST_F(ManagementTest, EachQueryLooksAfresh) {
  const std::wstring image = StartChild(L"orvane_fresh_");
  const std::wstring query =
      L"Select Name, Handle from Win32_Process Where Name = '" + image + L"'";
  ASSERT_EQ(Query(query).size(), 1u);
  TerminateProcess(children_[0].get(), 0);
  ASSERT_EQ(ExitCodeAfter(children_[0], 5000), 0);
  EXPECT_TRUE(Query(query).empty());
}

TEST_F(ManagementTest, TerminateEndsTheProcessWithExitCodeOne) {
  const std::wstring image = StartChild(L"orvane_end_");
  ProcessCollection found = Query(
      L"Select Name, Handle from Win32_Process Where Name = '" + image + L"'");
  ASSERT_EQ(found.size(), 1u);
  found[0]->Terminate();
  EXPECT_EQ(ExitCodeAfter(children_[0], 5000), 1);
}

TEST_F(ManagementTest, EitherNameQueryWithTwoBlanksFindsAndEndsBoth) {
  const std::wstring first = StartChild(L"orvane_fat_");
  const std::wstring second = StartChild(L"orvane_ntfs_");
  ProcessCollection found = Query(
      L"Select Name, Handle from Win32_Process Where Name = '" + first +
      L"' Or  Name = '" + second + L"'");
  ASSERT_EQ(found.size(), 2u);
  for (auto& process : found) process->Terminate();
  EXPECT_EQ(ExitCodeAfter(children_[0], 5000), 1);
  EXPECT_EQ(ExitCodeAfter(children_[1], 5000), 1);
}

TEST_F(ManagementTest, TerminateWithoutHandleSelectedThrowsAndEndsNothing) {
  const std::wstring image = StartChild(L"orvane_keyless_");
  ProcessCollection found = Query(
      L"Select Name from Win32_Process Where Name = '" + image + L"'");
  ASSERT_EQ(found.size(), 1u);
  EXPECT_THROW(found[0]->Terminate(), Failure);
  EXPECT_EQ(ExitCodeAfter(children_[0], 300), -2);  // still running
}

TEST_F(ManagementTest, TerminateOfAProcessThatHasGoneThrows) {
  const std::wstring image = StartChild(L"orvane_gone_");
  ProcessCollection found = Query(
      L"Select Name, Handle from Win32_Process Where Name = '" + image + L"'");
  ASSERT_EQ(found.size(), 1u);
  TerminateProcess(children_[0].get(), 0);
  ASSERT_EQ(ExitCodeAfter(children_[0], 5000), 0);
  children_.clear();  // the last handle goes, and the process with it
  EXPECT_THROW(found[0]->Terminate(), Failure);
}

struct MalformedCase {
  const char* name;
  const wchar_t* query;
};

class ManagementMalformedTest
    : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(ManagementMalformedTest, Throws) {
  try {
    Win32ManagementService().ExecQuery(WideToUtf8(GetParam().query));
    FAIL() << "no failure";
  } catch (const Failure& failure) {
    EXPECT_LT(failure.number(), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Queries, ManagementMalformedTest,
    ::testing::Values(
        // A single quote in a name ends the literal early.
        MalformedCase{"QuoteInLiteral",
                      L"Select Name from Win32_Process Where Name = 'a'b.exe'"},
        MalformedCase{"NotAQuery", L"Name = 'defrag.exe'"},
        MalformedCase{"Unterminated",
                      L"Select Name from Win32_Process Where Name = 'a"}),
    [](const ::testing::TestParamInfo<MalformedCase>& info) {
      return std::string(info.param.name);
    });

}  // namespace
}  // namespace orvane::win32
