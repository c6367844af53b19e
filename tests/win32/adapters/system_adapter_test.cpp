// Directories, drives, the clock, the previous-instance test, the message
// box, the event log's source, the conversions of errors and texts, and
// the system DLLs loaded when first needed, on Wine.

#include <gtest/gtest.h>
#include <windows.h>
#include <sddl.h>

#include <atomic>
#include <string>
#include <thread>
#include <tuple>

#include "child_process.h"
#include "fake_services.h"
#include "scratch_directory.h"
#include "platform/failure.h"
#include "platform/win32/clock_adapter.h"
#include "platform/win32/directories_adapter.h"
#include "platform/win32/drives_adapter.h"
#include "platform/win32/event_log_adapter.h"
#include "platform/win32/loader.h"
#include "platform/win32/message_dialog_adapter.h"
#include "platform/win32/previous_instance_adapter.h"
#include "platform/win32/process_list_adapter.h"
#include "platform/win32/security.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_error.h"

namespace orvane::win32 {
namespace {

bool IsDirectory(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Utf8ToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// ---------------------------------------------------------------------------
// Directories

TEST(DirectoriesTest, SystemDirectoryIsTheWholeExistingPathWithoutBackslash) {
  const std::string dir = Win32Directories().SystemDirectory();
  ASSERT_GT(dir.size(), 3u);
  EXPECT_NE(dir.back(), '\\');
  EXPECT_TRUE(IsDirectory(dir)) << dir;
  wchar_t expected[MAX_PATH];
  const UINT length = GetSystemDirectoryW(expected, MAX_PATH);
  EXPECT_EQ(dir, WideToUtf8(std::wstring(expected, length)));
}

TEST(DirectoriesTest, WindowsDirectoryHoldsTheSystemDirectory) {
  const std::string windows = Win32Directories().WindowsDirectory();
  const std::string system = Win32Directories().SystemDirectory();
  ASSERT_GT(windows.size(), 2u);
  EXPECT_NE(windows.back(), '\\');
  EXPECT_TRUE(IsDirectory(windows)) << windows;
  EXPECT_EQ(Lower(system).rfind(Lower(windows) + "\\", 0), 0u)
      << system << " is not under " << windows;
}

// A folder that others than the system's own accounts may change lets them
// choose what runs as SYSTEM next. The first is %ProgramFiles%.
TEST(DirectoriesTest, FoldersOthersMayChangeAreExposed) {
  const std::wstring ti = L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
  // SDDL | Power Users trusted (XP, 2003) | exposed
  const std::tuple<std::wstring, bool, bool> cases[] = {
      {L"O:" + ti + L"D:(A;OICI;FA;;;" + ti + L")(A;OICI;FA;;;SY)(A;OICI;0x1301bf;;;BA)"
       L"(A;OICI;0x1200a9;;;BU)(A;OICIIO;GA;;;CO)", false, false},
      {L"O:BAD:(A;OICI;FA;;;SY)(A;OICI;0x1301bf;;;AU)", false, true},
      {L"O:BAD:(A;;WD;;;WD)", false, true},
      {L"O:S-1-5-21-1-2-3-1001D:(A;OICI;FA;;;SY)", false, true},
      {L"O:BA", false, true},  // no DACL: everyone may do anything
      // An exe as installed, and one that its user may write
      {L"O:BAD:(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x1200a9;;;BU)", false, false},
      {L"O:BAD:(A;;FA;;;SY)(A;;0x1301bf;;;S-1-5-21-1-2-3-1001)", false, true},
      // Program Files on XP: Power Users may modify it
      {L"O:BAD:(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;PU)", true, false},
      {L"O:BAD:(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;PU)", false, true},
      // OWNER RIGHTS grants only to the owner
      {L"O:BAD:(A;;FA;;;SY)(A;;FA;;;S-1-3-4)", false, false},
  };
  for (const auto& [sddl, powerUsersTrusted, exposed] : cases) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
        sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr));
    EXPECT_EQ(OthersMayChange(descriptor, powerUsersTrusted), exposed)
        << WideToUtf8(sddl);
    LocalFree(descriptor);
  }
}

// A conditional entry grants whenever its condition holds, which the
// account it names may well arrange.
TEST(DirectoriesTest, AConditionalEntryThatAllowsWritingIsExposure) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
      L"O:BAD:(A;;FA;;;SY)(A;;0x1301bf;;;BU)", SDDL_REVISION_1, &descriptor, nullptr));
  PACL dacl = nullptr;
  BOOL present = FALSE, defaulted = FALSE;
  ACE_HEADER* entry = nullptr;
  ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) &&
              GetAce(dacl, 1, reinterpret_cast<void**>(&entry)));
  entry->AceType = ACCESS_ALLOWED_CALLBACK_ACE_TYPE;  // the same layout
  EXPECT_TRUE(OthersMayChange(descriptor, false));
  LocalFree(descriptor);
}

// ---------------------------------------------------------------------------
// Drives

TEST(DrivesTest, ListsLettersInOrderWithCAsFixed) {
  const std::vector<DriveInfo> drives = Win32Drives().Enumerate();
  ASSERT_FALSE(drives.empty());
  bool sawC = false;
  char previous = '@';
  for (const DriveInfo& drive : drives) {
    ASSERT_EQ(drive.path.size(), 2u);
    EXPECT_EQ(drive.path[1], ':');
    EXPECT_GT(drive.path[0], previous) << "not in letter order";
    previous = drive.path[0];
    EXPECT_GE(drive.type, kDriveUnknown);
    EXPECT_LE(drive.type, kDriveRamDisk);
    if (drive.path == "C:") {
      sawC = true;
      EXPECT_EQ(drive.type, kDriveFixed);
    }
  }
  EXPECT_TRUE(sawC);
}

// ---------------------------------------------------------------------------
// Clock

TEST(ClockTest, NowIsTheLocalTime) {
  SYSTEMTIME before;
  GetLocalTime(&before);
  const LocalTime now = Win32Clock().Now();
  EXPECT_EQ(now.year, before.wYear);
  EXPECT_EQ(now.month, before.wMonth);
  EXPECT_GE(now.day, 1);
  EXPECT_LE(now.day, 31);
  EXPECT_LE(now.hour, 23);
  EXPECT_LE(now.second, 59);
}

// The formats are the user's own: a date and a time set out in the order
// the user chose, not in a fixed one.
TEST(ClockTest, ShortDateAndLongTimeAreTheUsersFormats) {
  const LCTYPE kinds[] = {LOCALE_SSHORTDATE, LOCALE_STIMEFORMAT};
  const wchar_t* const chosen[] = {L"yyyy'/'dd'/'MM", L"ss'.'mm'.'HH"};
  wchar_t kept[2][80] = {};
  for (int i = 0; i < 2; ++i) {
    ASSERT_GT(GetLocaleInfoW(LOCALE_USER_DEFAULT, kinds[i], kept[i], 80), 0);
    ASSERT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, kinds[i], chosen[i]));
  }
  const LocalTime t{2026, 12, 7, 18, 46, 13};
  const std::string date = Win32Clock().ShortDate(t), time = Win32Clock().LongTime(t);
  for (int i = 0; i < 2; ++i) SetLocaleInfoW(LOCALE_USER_DEFAULT, kinds[i], kept[i]);
  EXPECT_EQ(date, "2026/07/12");
  EXPECT_EQ(time, "13.46.18");
}

TEST(ClockTest, UnitedStatesFormatsHaveNoLeadingZeros) {
  if (GetUserDefaultLCID() != MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT)) {
    GTEST_SKIP() << "user locale is not en-US";
  }
  const LocalTime t{2026, 2, 3, 6, 4, 5};
  EXPECT_EQ(Win32Clock().ShortDate(t), "2/3/2026");
  EXPECT_EQ(Win32Clock().LongTime(t), "6:04:05 AM");
}

TEST(ClockTest, InvalidDateThrows) {
  LocalTime t;
  t.month = 13;
  EXPECT_THROW(Win32Clock().ShortDate(t), Failure);
}

// ---------------------------------------------------------------------------
// PreviousInstance

std::string UniqueMutexName(const char* what) {
  return std::string("Global\\Orvane.AdapterTest.") + what + "." +
         std::to_string(GetCurrentProcessId());
}

TEST(PreviousInstanceTest, FirstClaimsLaterOnesSeeItAndAnswersStay) {
  const std::string name = UniqueMutexName("claim");
  Win32PreviousInstance first(name);
  EXPECT_EQ(first.Find(), OtherInstance::kNone);
  Win32PreviousInstance second(name);
  EXPECT_EQ(second.Find(), OtherInstance::kOurs);
  EXPECT_EQ(second.Find(), OtherInstance::kOurs);
  EXPECT_EQ(first.Find(), OtherInstance::kNone);
}

TEST(PreviousInstanceTest, ClaimEndsWithItsOwner) {
  const std::string name = UniqueMutexName("release");
  for (int claim = 0; claim < 2; ++claim)  // the second after the first's end
    EXPECT_EQ(Win32PreviousInstance(name).Find(), OtherInstance::kNone) << claim;
}

// Anyone may make an object of the program's name; only a mutex owned by
// SYSTEM or the Administrators, which no one else can give it, is ours.
TEST(PreviousInstanceTest, OnlyAClaimOwnedBySystemOrTheAdministratorsIsOurs) {
  HANDLE token = nullptr;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
  BYTE user[256];
  DWORD size = 0;
  ASSERT_TRUE(GetTokenInformation(token, TokenUser, user, sizeof user, &size));
  CloseHandle(token);
  LPWSTR thisUser = nullptr;
  ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, &thisUser);
  // case | object | SDDL | answer
  const std::tuple<const char*, const char*, std::wstring, OtherInstance> cases[] = {
      {"Administrators", "mutex", L"O:BAD:(A;;GA;;;SY)(A;;GA;;;BA)", OtherInstance::kOurs},
      {"SYSTEM", "mutex", L"O:SYD:(A;;GA;;;SY)(A;;GA;;;BA)", OtherInstance::kOurs},
      {"this user, not elevated", "mutex", L"O:" + std::wstring(thisUser), OtherInstance::kForeign},
      {"another user", "mutex", L"O:BU", OtherInstance::kForeign},
      {"unreadable", "mutex", L"D:", OtherInstance::kForeign},
      {"an event", "event", L"O:BA", OtherInstance::kForeign},
  };
  for (const auto& [what, type, sddl, answer] : cases) {
    const std::string name = UniqueMutexName("claim-owner");
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, nullptr, FALSE};
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
        sddl.c_str(), SDDL_REVISION_1, &attributes.lpSecurityDescriptor, nullptr));
    const std::wstring wide = Utf8ToWide(name);
    const UniqueEvent held(
        std::string(type) == "event"
            ? CreateEventW(&attributes, TRUE, FALSE, wide.c_str())
            : CreateMutexW(&attributes, FALSE, wide.c_str()));
    LocalFree(attributes.lpSecurityDescriptor);
    ASSERT_TRUE(held) << what;
    EXPECT_EQ(Win32PreviousInstance(name).Find(), answer) << what;
  }
  LocalFree(thisUser);
}

// ---------------------------------------------------------------------------
// DLL search

// adapter_test_beside.dll is built beside this test's exe.
TEST(DllSearchTest, ADllBesideTheProgramIsNotLoadedByName) {
  const wchar_t dll[] = L"adapter_test_beside.dll";
  ASSERT_TRUE(FreeLibrary(LoadLibraryW(dll))) << "the DLL is not beside the test";
  LoadDllsFromSystemDirectoryOnly();
  EXPECT_FALSE(FreeLibrary(LoadLibraryW(dll))) << "loaded by name";
}

// ---------------------------------------------------------------------------
// MessageDialog

TEST(MessageDialogTest, ShowsTextAndTitleAndReturnsWhenClosed) {
  const std::wstring title = L"Orvane \u2013 adapter test";
  std::atomic<bool> found{false};
  std::wstring shownText;
  std::thread closer([&] {
    for (int i = 0; i < 200 && !found; ++i) {
      Sleep(50);
      HWND box = FindWindowW(L"#32770", title.c_str());
      if (!box) continue;
      wchar_t text[200] = {};
      GetDlgItemTextW(box, 0xFFFF, text, 200);  // the box's static text
      shownText = text;
      found = true;
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
  });
  fakes::FakeEventLog log;
  Win32MessageDialog(log).Show(kEventHandlerFailure, "Line one\r\nline two",
                               16, WideToUtf8(title));
  closer.join();
  EXPECT_TRUE(found);
  EXPECT_EQ(shownText, L"Line one\r\nline two");
  EXPECT_TRUE(log.written.empty());  // a box someone saw is no event
}

// ---------------------------------------------------------------------------
// EventLog

// The first event points the source at this exe's message table when the
// key is missing or names a file that is gone; one that names a file that is
// there (an installed copy, this exe in any letter case, a path with
// variables stored as REG_EXPAND_SZ) is left as it is.
TEST(EventLogTest, TheFirstEventTakesTheSourceOnlyWhenItsFileIsGone) {
  const wchar_t path[] =
      L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Orvane test";
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring upper = self;
  CharUpperW(&upper[0]);
  const std::wstring other = L"%SystemRoot%\\system32\\kernel32.dll";
  // before, its type, after
  const std::tuple<std::wstring, DWORD, std::wstring> cases[] = {
      {L"", REG_SZ, self}, {L"C:\\Old\\Orvane.exe", REG_SZ, self},
      {upper, REG_SZ, upper}, {other, REG_EXPAND_SZ, other}};
  for (const auto& [before, type, after] : cases) {
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, path);
    HKEY key = nullptr;
    if (!before.empty()) {  // else no key
      RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_SET_VALUE,
                      nullptr, &key, nullptr);
      RegSetValueExW(key, L"EventMessageFile", 0, type,
                     reinterpret_cast<const BYTE*>(before.c_str()),
                     static_cast<DWORD>((before.size() + 1) * 2));
      RegCloseKey(key);
    }
    Win32EventLog("Orvane test").Write(EventType::kWarning, 102, {"a"});
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE, &key),
              ERROR_SUCCESS);
    wchar_t file[MAX_PATH * 2] = {};
    DWORD types = 0, fileSize = sizeof file - 2, typesSize = sizeof types;
    RegQueryValueExW(key, L"EventMessageFile", nullptr, nullptr,
                     reinterpret_cast<BYTE*>(file), &fileSize);
    RegQueryValueExW(key, L"TypesSupported", nullptr, nullptr,
                     reinterpret_cast<BYTE*>(&types), &typesSize);
    RegCloseKey(key);
    EXPECT_EQ(file, after);
    EXPECT_EQ(types, before == after ? 0u : 7u);
  }
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, path);
}

// ---------------------------------------------------------------------------
// Errors and texts

TEST(Win32ErrorTest, Win32ErrorBecomesItsHresultWithTheSystemsText) {
  const Failure failure = FailureFromWin32(ERROR_ACCESS_DENIED);
  EXPECT_EQ(failure.number(), static_cast<std::int32_t>(0x80070005u));
  const std::string text = failure.what();
  ASSERT_FALSE(text.empty());
  EXPECT_NE(text.find("ccess"), std::string::npos) << text;
  EXPECT_FALSE(std::isspace(static_cast<unsigned char>(text.back()))) << text;
}

TEST(Win32ErrorTest, HresultKeepsItsNumber) {
  const Failure failure = FailureFromHresult(E_OUTOFMEMORY);
  EXPECT_EQ(failure.number(), static_cast<std::int32_t>(E_OUTOFMEMORY));
  EXPECT_STRNE(failure.what(), "");
}

TEST(Win32ErrorTest, NumberWithoutSystemTextNamesTheNumber) {
  const Failure failure = FailureFromHresult(static_cast<HRESULT>(0xA0B0C0D0u));
  EXPECT_STREQ(failure.what(), "Error 0xA0B0C0D0");
}

TEST(Win32ErrorTest, LastErrorOfZeroIsStillAFailure) {
  SetLastError(ERROR_SUCCESS);
  EXPECT_LT(LastWin32Failure().number(), 0);
}

// ---------------------------------------------------------------------------
// Set up when first needed

// A system DLL comes from the system directory by its full path: a DLL of
// that name beside the program is never loaded instead.
TEST(FirstUseTest, SystemFunctionsComeOnlyFromTheSystemDirectory) {
  wchar_t system[MAX_PATH];
  ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
  wchar_t own[MAX_PATH];
  ASSERT_GT(GetModuleFileNameW(/*hModule=*/nullptr, own, MAX_PATH), 0u);
  std::wstring beside = own;
  beside = beside.substr(0, beside.rfind(L'\\')) + L"\\orvane_probe.dll";
  ASSERT_TRUE(CopyFileW((std::wstring(system) + L"\\version.dll").c_str(),
                        beside.c_str(), /*bFailIfExists=*/FALSE));
  SystemFunction<DWORD(WINAPI*)(LPCWSTR, LPDWORD)> probe{
      L"orvane_probe.dll", "GetFileVersionInfoSizeW", 0};
  EXPECT_EQ(probe(own, nullptr), 0u) << "the DLL beside the program was loaded";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_EQ(GetModuleHandleW(L"orvane_probe.dll"), nullptr);
  DeleteFileW(beside.c_str());
}

// Each function looked up at first use is found: a misspelt name would
// fail quietly where nothing checks the result (CoUninitialize, the
// VARIANT's clearing). CoCreateInstance and CoSetProxyBlanket are the
// busy test's first calls, which the end-to-end tests make.
// On a thread of its own, whose COM no other test has set up.
void CallEachDeferredFunction() {
  const HRESULT missing = HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
  ASSERT_EQ(deferred::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
  EXPECT_NE(deferred::CoInitializeSecurity(
                nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr),
            missing);
  VARIANT value;
  value.vt = VT_BSTR;
  value.bstrVal = deferred::SysAllocStringLen(L"abc", 3);
  ASSERT_NE(value.bstrVal, nullptr);
  EXPECT_EQ(deferred::SysStringLen(value.bstrVal), 3u);
  EXPECT_EQ(deferred::VariantClear(&value), S_OK);
  EXPECT_EQ(value.vt, VT_EMPTY);
  deferred::SysFreeString(deferred::SysAllocStringLen(L"x", 1));

  // Undone: the thread's COM can be set up afresh.
  deferred::CoUninitialize();
  EXPECT_EQ(deferred::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
  deferred::CoUninitialize();
}

TEST(FirstUseTest, DeferredFunctionsAreTheSystemsOwn) {
  std::thread(CallEachDeferredFunction).join();
}

struct EncodingCase {
  const char* utf8;
  const wchar_t* wide;
};

class TextEncodingTest : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(TextEncodingTest, Utf8AndUtf16RoundTrip) {
  EXPECT_EQ(Utf8ToWide(GetParam().utf8), GetParam().wide);
  EXPECT_EQ(WideToUtf8(GetParam().wide), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TextEncodingTest,
    ::testing::Values(EncodingCase{"", L""},
                      EncodingCase{"C:\\WINDOWS\\system32", L"C:\\WINDOWS\\system32"},
                      EncodingCase{"caf\xC3\xA9", L"caf\u00e9"},
                      EncodingCase{"\xF0\x9F\x98\x80", L"\U0001F600"}));

TEST(TextEncodingTest, AnsiHasOneByteForEachCharacterOfItsCodePage) {
  if (GetACP() != 1252) GTEST_SKIP() << "ANSI code page " << GetACP();
  EXPECT_EQ(WideToAnsi(L"caf\u00e9 \u20ac"), "caf\xE9 \x80");
  EXPECT_EQ(WideToAnsi(L"\u4e2d"), "?");
}

TEST(ProcessListTest, EndsTheNamedProcessesWithTheCodeAndSparesTheEnded) {
  testing::ScratchDirectory scratch;
  const std::wstring named = scratch / L"orvane_ending_child.exe";
  ASSERT_TRUE(CopyFileW(testing::ChildProgram().c_str(), named.c_str(),
                        /*bFailIfExists=*/TRUE));
  UniqueProcess ended = testing::StartDirectly(named, L"- 5");
  ASSERT_EQ(testing::ExitCodeAfter(ended, 10000), 5);
  UniqueProcess running[] = {testing::StartDirectly(named, L"- 0 60000"),
                             testing::StartDirectly(named, L"- 0 60000")};
  Win32ProcessList().EndByImageName("ORVANE_Ending_Child.exe", 7);
  for (const auto& p : running) EXPECT_EQ(testing::ExitCodeAfter(p, 10000), 7);
  EXPECT_FALSE(EndUnlessEnded(ended.get(), 1));
  EXPECT_EQ(testing::ExitCodeAfter(ended, 0), 5);
}

}  // namespace
}  // namespace orvane::win32
