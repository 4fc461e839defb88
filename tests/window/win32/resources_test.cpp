// The resources compiled from resources/corvenna.rc, read back from this
// test program, which links them as corvenna.exe does.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

const void* ResourceData(LPCSTR type, LPCSTR name, WORD language) {
  HRSRC found = FindResourceExA(nullptr, type, name, language);
  if (found == nullptr) return nullptr;
  HGLOBAL loaded = LoadResource(nullptr, found);
  return loaded != nullptr ? LockResource(loaded) : nullptr;
}

constexpr WORD kNeutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
constexpr WORD kChineseSimplified = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);

TEST(Resources, IconGroupIsLanguageNeutralWithOne32x32Image) {
  // GRPICONDIR: reserved, type 1, count; then one 14-byte entry per image.
  const auto* group =
      static_cast<const unsigned char*>(ResourceData(RT_GROUP_ICON, "DEFAULT_ICON", kNeutral));
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group[2], 1);  // type: icon
  EXPECT_EQ(group[4], 1);  // one image
  const unsigned char* entry = group + 6;
  EXPECT_EQ(entry[0], 32);                  // width
  EXPECT_EQ(entry[1], 32);                  // height
  EXPECT_EQ(entry[6] | entry[7] << 8, 32);  // bits per pixel
  const unsigned bytes =
      entry[8] | entry[9] << 8 | entry[10] << 16 | static_cast<unsigned>(entry[11]) << 24;
  EXPECT_EQ(bytes, 4264u);
}

TEST(Resources, ManifestAsksForTheUsersOwnRights) {
  HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(1), RT_MANIFEST);
  ASSERT_NE(found, nullptr);
  const auto* text = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
  const std::string manifest(text, SizeofResource(nullptr, found));
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
  EXPECT_EQ(manifest.find("dpiAware"), std::string::npos);
}

TEST(Resources, VersionBlockInChineseSimplified) {
  const void* block =
      ResourceData(RT_VERSION, MAKEINTRESOURCEA(VS_VERSION_INFO), kChineseSimplified);
  ASSERT_NE(block, nullptr);
  // VerQueryValueA wants a writable copy of the block.
  HRSRC found =
      FindResourceExA(nullptr, RT_VERSION, MAKEINTRESOURCEA(VS_VERSION_INFO), kChineseSimplified);
  std::string copy(static_cast<const char*>(block), SizeofResource(nullptr, found));
  copy.resize(copy.size() * 2);

  void* value = nullptr;
  UINT size = 0;
  ASSERT_TRUE(VerQueryValueA(copy.data(), "\\", &value, &size));
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0u);
  EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u);
  EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

  ASSERT_TRUE(VerQueryValueA(copy.data(), "\\VarFileInfo\\Translation", &value, &size));
  ASSERT_EQ(size, 4u);
  const auto* translation = static_cast<const WORD*>(value);
  EXPECT_EQ(translation[0], 0x0804);
  EXPECT_EQ(translation[1], 0x04B0);

  struct Entry {
    const char* name;
    const char* text;
  };
  const Entry entries[] = {
      {"FileVersion", "1.0.0.0"},  {"ProductVersion", "1.0.0.0"}, {"FileDescription", "Corvenna"},
      {"ProductName", "Corvenna"}, {"Comments", "Corvenna"},      {"CompanyName", "Tallowmere"},
  };
  for (const Entry& entry : entries) {
    SCOPED_TRACE(entry.name);
    const std::string path = std::string("\\StringFileInfo\\080404B0\\") + entry.name;
    ASSERT_TRUE(VerQueryValueA(copy.data(), path.c_str(), &value, &size));
    EXPECT_STREQ(static_cast<const char*>(value), entry.text);
  }
}

}  // namespace
