// Orvane.exe's resources, read from the built program: the icon with its
// eight images (and the window's icons loaded from them), the version
// information, the manifest and the event log's message table.

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "ui/win32/program_icons.h"

namespace {

// A program's path on Wine's Z: drive, which maps the Unix root.
std::wstring ProgramPath(const std::string& unixPath = ORVANE_EXE_UNIX_PATH) {
  std::wstring path = L"Z:";
  for (char c : unixPath) path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
  return path;
}

class ProgramResourcesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExW(ProgramPath().c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE |
                                 LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module_, nullptr) << "cannot open the program, error "
                                << GetLastError();
  }
  void TearDown() override { if (module_) FreeLibrary(module_); }

  // The bytes of one resource.
  std::vector<std::uint8_t> Resource(const wchar_t* type, int id) {
    HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(id), type);
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module_, found);
    const auto* bytes = static_cast<const std::uint8_t*>(LockResource(loaded));
    return {bytes, bytes + SizeofResource(module_, found)};
  }

  HMODULE module_ = nullptr;
};

#pragma pack(push, 2)
struct GroupIconHeader {
  WORD reserved, type, count;
};
struct GroupIconEntry {
  BYTE width, height, colourCount, reserved;
  WORD planes, bitCount;
  DWORD bytesInRes;
  WORD id;
};
#pragma pack(pop)

TEST_F(ProgramResourcesTest, IconHasTheElevenDesignedImagesAndEachLoads) {
  const std::vector<std::uint8_t> group = Resource(RT_GROUP_ICON, 1);
  ASSERT_GE(group.size(), sizeof(GroupIconHeader));
  GroupIconHeader header;
  std::memcpy(&header, group.data(), sizeof header);
  ASSERT_EQ(header.type, 1);
  ASSERT_EQ(header.count, 11);
  ASSERT_EQ(group.size(), sizeof header + 11 * sizeof(GroupIconEntry));

  std::multiset<std::pair<int, int>> images;  // (size, bits per pixel)
  for (int i = 0; i < header.count; ++i) {
    GroupIconEntry entry;
    std::memcpy(&entry, group.data() + sizeof header + i * sizeof entry,
                sizeof entry);
    SCOPED_TRACE(::testing::Message() << "image " << i);
    EXPECT_EQ(entry.width, entry.height);
    images.insert({entry.width, entry.bitCount});

    std::vector<std::uint8_t> image = Resource(RT_ICON, entry.id);
    ASSERT_EQ(image.size(), entry.bytesInRes);
    // A bitmap (BITMAPINFOHEADER), never PNG, which XP cannot read.
    ASSERT_GE(image.size(), 4u);
    EXPECT_EQ(image[0] | image[1] << 8 | image[2] << 16 | image[3] << 24, 40);
    HICON icon = CreateIconFromResourceEx(
        image.data(), static_cast<DWORD>(image.size()), /*fIcon=*/TRUE,
        0x00030000, entry.width, entry.height, LR_DEFAULTCOLOR);
    EXPECT_NE(icon, nullptr);
    if (icon) DestroyIcon(icon);
  }
  const std::multiset<std::pair<int, int>> designed{
      {32, 4},  {16, 4},  {48, 8},  {32, 8},  {16, 8},  {48, 32},
      {32, 32}, {16, 32}, {40, 32}, {24, 32}, {20, 32}};
  EXPECT_EQ(images, designed);
}

// The width and height of an icon's colour image.
std::pair<long, long> IconSize(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return {0, 0};
  BITMAP bitmap{};
  GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return {bitmap.bmWidth, info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2};
}

TEST_F(ProgramResourcesTest, TheWindowsIconsAreLoadedEachAtItsOwnSize) {
  // At 96 DPI the small icon is the hand-made 16 x 16 image, not the large
  // one that a shared load would answer again.
  ASSERT_EQ(GetSystemMetrics(SM_CXSMICON), 16);
  const orvane::win32::ProgramIcons icons =
      orvane::win32::LoadProgramIcons(module_);
  ASSERT_TRUE(icons.large && icons.small);
  EXPECT_EQ(IconSize(icons.large.get()),
            (std::pair<long, long>{GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)}));
  EXPECT_EQ(IconSize(icons.small.get()), (std::pair<long, long>{16, 16}));

  // Owned, not shared: destroying one really frees it (a shared icon would
  // live on in the system's cache).
  orvane::win32::ProgramIcons owned = orvane::win32::LoadProgramIcons(module_);
  const HICON handle = owned.small.release();
  EXPECT_TRUE(DestroyIcon(handle));
  ICONINFO info{};
  EXPECT_FALSE(GetIconInfo(handle, &info)) << "the icon is still there";
}

TEST_F(ProgramResourcesTest, VersionInformationNamesTheProductAndVersion) {
  const std::wstring path = ProgramPath();
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<std::uint8_t> info(size);
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, info.data()));

  auto text = [&](const wchar_t* name) {
    const std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), key.c_str(), &value, &length)) return std::wstring();
    return std::wstring(static_cast<const wchar_t*>(value));
  };
  EXPECT_EQ(text(L"ProductName"), L"Orvane");
  EXPECT_EQ(text(L"OriginalFilename"), L"Orvane.exe");
  const std::string version = ORVANE_PROJECT_VERSION;
  EXPECT_EQ(text(L"ProductVersion"), std::wstring(version.begin(), version.end()));
  EXPECT_EQ(text(L"FileVersion"), std::wstring(version.begin(), version.end()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), ORVANE_PROJECT_VERSION_MAJOR);
  EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), ORVANE_PROJECT_VERSION_MINOR);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

constexpr size_t kNone = std::string::npos;

// Each element of an XML text as its path from the root ("assembly/
// trustInfo") and its start tag, in document order.
std::vector<std::pair<std::string, std::string>> Elements(const std::string& xml) {
  std::vector<std::pair<std::string, std::string>> elements;
  std::string open;  // "assembly/trustInfo/"
  for (size_t at = xml.find('<'); at != kNone; at = xml.find('<', at + 1)) {
    const std::string tag = xml.substr(at + 1, xml.find('>', at) - at - 1);
    if (tag.rfind("!--", 0) == 0) {
      at = xml.find("-->", at);
    } else if (tag[0] == '/') {
      open.erase(open.rfind('/', open.size() - 2) + 1);
    } else if (tag[0] != '?') {
      elements.push_back({open + tag.substr(0, tag.find_first_of(" \r\n/")), tag});
      if (tag.back() != '/') open = elements.back().first + "/";
    }
  }
  return elements;
}

// The manifest of this build's exe and of the released ones: the exe's own
// identity first (the version of its version resource, its architecture),
// each setting once, no element that declares a namespace twice (XP SP2
// restarts on that), and what XP does not know in a namespace of its own
// (an unknown element of XP's namespace stops the program there).
TEST_F(ProgramResourcesTest, ManifestNamesTheExeFirstAndAsksForEachSettingOnce) {
  for (const char* exe : {ORVANE_EXE_UNIX_PATH, ORVANE_RELEASE_EXE, ORVANE_RELEASE_EXE_WIN32}) {
    SCOPED_TRACE(exe);
    const std::wstring file = ProgramPath(exe);
    // The released exe where this build names one; where it is missing,
    // imports_release (which requires it) says so, once.
    if (exe != std::string(ORVANE_EXE_UNIX_PATH) &&
        (!*exe || GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES)) {
      std::printf("not read, not built: the released exe '%s'\n", exe);
      continue;
    }
    FreeLibrary(module_);
    module_ = LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module_, nullptr) << "not built";
    const std::vector<std::uint8_t> bytes = Resource(RT_MANIFEST, 1);
    const std::string manifest(bytes.begin(), bytes.end());
    for (const char* needed :
         {"level=\"requireAdministrator\"", "Microsoft.Windows.Common-Controls",
          "version=\"6.0.0.0\"", "<dpiAware ", "<dpiAwareness ", "<supportedOS "})
      EXPECT_NE(manifest.find(needed), std::string::npos) << needed;

    const auto elements = Elements(manifest);
    ASSERT_GE(elements.size(), 2u);
    EXPECT_EQ(elements[0].first, "assembly");
    EXPECT_EQ(elements[1].first, "assembly/assemblyIdentity");
    DWORD type = 0;
    std::vector<std::uint8_t> info(GetFileVersionInfoSizeW(file.c_str(), &type));
    VS_FIXEDFILEINFO* v = nullptr;
    UINT length = 0;
    ASSERT_TRUE(GetFileVersionInfoW(file.c_str(), 0, static_cast<DWORD>(info.size()),
                                    info.data()) &&
                VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&v), &length) &&
                GetBinaryTypeW(file.c_str(), &type));
    char version[40];
    std::snprintf(version, sizeof version, "version=\"%u.%u.%u.%u\"",
                  HIWORD(v->dwFileVersionMS), LOWORD(v->dwFileVersionMS),
                  HIWORD(v->dwFileVersionLS), LOWORD(v->dwFileVersionLS));
    for (const char* attribute : {"type=\"win32\"", "name=\"Orvane\"", std::as_const(version),
                                  type == SCS_64BIT_BINARY ? "processorArchitecture=\"amd64\""
                                                           : "processorArchitecture=\"x86\""})
      EXPECT_NE(elements[1].second.find(attribute), std::string::npos) << attribute;

    std::map<std::string, std::set<std::string>> tags;  // by path
    for (const auto& [path, tag] : elements) {
      // Each path once, but a supportedOS for each system.
      EXPECT_TRUE(tags[path].insert(tag).second &&
                  (tags[path].size() == 1 || path.find("/supportedOS") != kNone)) << tag;
      std::set<std::string> spaces;
      for (size_t at = tag.find("xmlns"); at != kNone; at = tag.find("xmlns", at + 1)) {
        const size_t value = tag.find('"', at);
        EXPECT_TRUE(spaces.insert(tag.substr(value, tag.find('"', value + 1) - value)).second)
            << tag;
      }
      if (std::count(path.begin(), path.end(), '/') == 1 &&
          !std::set<std::string>{"assemblyIdentity", "description", "dependency"}
               .count(path.substr(path.find('/') + 1))) {
        EXPECT_NE(tag.find(" xmlns=\"urn:"), std::string::npos) << tag;
      }
    }
  }
}

// Each event ID formats from the exe's message table with a lead of its own
// and its strings in place, verbatim (a report line's "%" stays); a pass's
// event ends with its record and trailer, the others take one string.
TEST_F(ProgramResourcesTest, EveryEventFormatsWithItsStringsFromTheProgram) {
  const std::wstring record =
      L"12/7/2026 - 6:46:13 AM\r\nDrive C: Defrag aborted with error level 7 "
      L"(Defrag needs 15% free space to run on a volume)\r\n\r\n";
  const std::wstring trailer =
      L"12/7/2026 - 6:46:13 AM\r\nERROR!! #51\r\nInternal error\r\n\r\n";
  DWORD_PTR strings[] = {reinterpret_cast<DWORD_PTR>(record.c_str()),
                         reinterpret_cast<DWORD_PTR>(trailer.c_str())};
  const std::pair<std::uint32_t, const wchar_t*> leads[] = {
      {100, L"Defragmented."}, {101, L"Defrag Error"}, {102, L"Stopped"},
      {103, L"Start refused"}, {200, L"12/7"}, {201, L"12/7"}, {202, L"12/7"},
      {203, L"12/7"}};
  for (const auto& [id, lead] : leads) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY |
            FORMAT_MESSAGE_ALLOCATE_BUFFER,
        module_, id, 0, reinterpret_cast<LPWSTR>(&text), 0,
        reinterpret_cast<va_list*>(strings));
    ASSERT_NE(length, 0u) << "no message " << id;
    const std::wstring formatted(text, length);
    LocalFree(text);
    EXPECT_EQ(formatted.rfind(lead, 0), 0u) << id;
    EXPECT_NE(formatted.find(record), std::wstring::npos) << id;
    const std::wstring both = record + trailer;  // a pass's event ends so
    EXPECT_EQ(formatted.size() > both.size() &&
                  formatted.substr(formatted.size() - both.size()) == both,
              id < 103) << id;
  }
}

}  // namespace
