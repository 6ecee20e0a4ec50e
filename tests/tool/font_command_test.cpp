#include <gtest/gtest.h>

#include <set>

#include "../core/temp_folder.h"
#include "core/data/default_face.h"
#include "core/data/file_system.h"
#include "core/text/unicode.h"
#include "tool/font.h"
#include "tool_run.h"

#ifdef _WIN32
#include "core/data/settings_file.h"
#include "win/common/faces.h"
#endif

namespace zor::tool {
namespace {

using testing::Tool;
using testing::ToolRun;

TEST(ZortoolFont, ChoosesOnlyWhenNoFaceIsNamedAndTheDefaultIsMissing) {
  struct Case {
    const char* what;
    std::optional<std::wstring> typeFace;  // in the file before
    std::set<std::wstring> installed;
    std::wstring face;                    // printed
    std::optional<std::wstring> after;    // "UseFont" after
  };
  const std::vector<std::wstring> candidates = {L"游明朝", L"IPA明朝", L"IPAMincho"};
  const Case cases[] = {
      {"default installed: nothing written", std::nullopt, {std::wstring(kDefaultFace), L"IPA明朝"},
       std::wstring(kDefaultFace), std::nullopt},
      {"first installed candidate", std::nullopt, {L"IPA明朝", L"IPAMincho"}, L"IPA明朝", L"IPA明朝"},
      {"candidate order, not the system's", std::nullopt, {L"IPAMincho", L"游明朝"}, L"游明朝", L"游明朝"},
      {"a named face is kept even when missing", L"Some Face", {L"IPA明朝"}, L"Some Face", L"Some Face"},
      {"a named face is read as the saver reads it", L"  IPAMincho ", {}, L"IPAMincho", L"  IPAMincho "},
      {"a blank value names no face", L"   ", {L"IPAMincho"}, L"IPAMincho", L"IPAMincho"},
      {"an empty value names no face", L"", {L"IPAMincho"}, L"IPAMincho", L"IPAMincho"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryProfileStore store;
    if (c.typeFace) {
      ASSERT_TRUE(store.Write(kSettingsSection, L"UseFont", *c.typeFace).ok());
    }
    const Result<FaceChoice> r =
        ChooseFace(store, candidates, [&](std::wstring_view f) { return c.installed.contains(std::wstring(f)); });
    ASSERT_TRUE(r.ok()) << ToUtf8(r.status().message());
    EXPECT_EQ(r.value().face, c.face);
    EXPECT_EQ(r.value().written, c.after != c.typeFace);
    EXPECT_EQ(store.Read(kSettingsSection, L"UseFont"), c.after);
  }
}

TEST(ZortoolFont, NoUsableFaceOrAFailedWriteLeavesTheSettingsAlone) {
  MemoryProfileStore store;
  Result<FaceChoice> r = ChooseFace(store, {L"A", L"B"}, [](std::wstring_view) { return false; });
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.status().error(), FileError::kRefused);
  EXPECT_NE(r.status().message().find(L"A, B"), std::wstring::npos);
  EXPECT_EQ(store.Read(kSettingsSection, L"UseFont"), std::nullopt);

  store.failWrites = true;
  r = ChooseFace(store, {L"A"}, [](std::wstring_view f) { return f == L"A"; });
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.status().error(), FileError::kWrite);
}

TEST(ZortoolFont, FaceNamesTheSettingsFileCanHold) {
  const std::pair<std::wstring, bool> cases[] = {
      {L"IPAMincho", true},
      {L"ＭＳ Ｐ明朝", true},
      {L"Noto Serif CJK JP", true},
      {std::wstring(31, L'x'), true},
      {std::wstring(32, L'x'), false},  // longer than a font family name can be
      {L"", false},
      {L" IPAMincho", false},           // the reader would trim it
      {L"IPAMincho ", false},
      {L"Face\tName", false},
      {L"Face\x7F", false},
      {L"한국어", false},                // no CP932 form
      {L"\U0001F600", false},
  };
  for (const auto& [face, usable] : cases) EXPECT_EQ(UsableFaceName(face), usable) << ToUtf8(face);
}

TEST(ZortoolFont, Usage) {
  const std::vector<std::wstring> cases[] = {
      {L"font"},
      {L"font", L"ZORANTE.ini"},
      {L"font", L"ZORANTE.ini", L"--bogus", L"IPAMincho"},
      {L"font", L"ZORANTE.ini", L" IPAMincho"},
      {L"font", L"ZORANTE.ini", L"IPAMincho", std::wstring(200, L'x')},
  };
  for (const auto& args : cases) {
    const ToolRun r = Tool(args);
    EXPECT_EQ(r.rc, kUsage) << ToUtf8(r.err);
    EXPECT_EQ(r.out, L"");
  }
}

#ifdef _WIN32
// The settings file as the saver reads it, and the real font list.
class FontOnFile : public ::testing::Test {
 protected:
  // Any installed face the settings file can hold.
  static std::wstring SomeInstalledFace() {
    for (const std::wstring& face : win::SystemFaceNames()) {
      if (face.front() != L'@' && UsableFaceName(face) && face != kDefaultFace) return face;
    }
    return {};
  }
  std::filesystem::path Ini() const { return dir_ / L"ZORANTE.ini"; }
  std::optional<std::wstring> UseFont() const {
    return SettingsFileStore(Ini()).Read(kSettingsSection, L"UseFont");
  }
  zor::testing::TempFolder dir_;
};

TEST_F(FontOnFile, WritesTheFirstInstalledFaceIntoANewFile) {
  const std::wstring installedFace = SomeInstalledFace();
  ASSERT_TRUE(win::FaceInstalled(installedFace));
  const ToolRun r = Tool({L"font", PathText(Ini()), L"No Such Face 4711", installedFace});
  ASSERT_EQ(r.rc, kDone) << ToUtf8(r.err);
  if (win::FaceInstalled(kDefaultFace)) {
    EXPECT_EQ(r.out, std::wstring(kDefaultFace) + L"\n");
    EXPECT_FALSE(FileExists(Ini()));
  } else {
    EXPECT_EQ(r.out, installedFace + L"\n");
    EXPECT_EQ(UseFont(), installedFace);
  }
}

TEST_F(FontOnFile, HostileFilesKeepTheirFaceOrGainOne) {
  struct Case {
    const char* what;
    std::string bytes;
    std::optional<std::wstring> face;  // printed, when the file names one
  };
  const Case cases[] = {
      {"a named face, in CP932", "[ZORANTE]\r\nUseFont=IPA\x96\xbe\x92\xa9\r\n", L"IPA明朝"},
      {"a key cut short", "[ZORANTE]\r\nUseFo", std::nullopt},
      {"another section only", "[Other]\r\nUseFont=X\r\n", std::nullopt},
      {"garbage", std::string("\xff\xfe\x00\x01[ZOR\x81\r\n=\x00\n", 14) + std::string(5000, '\x82'), std::nullopt},
      {"a lone lead byte", "[ZORANTE]\r\nUseFont=\x96\r\n", L"\xFFFD"},
  };
  const std::wstring installedFace = SomeInstalledFace();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    zor::testing::WriteBytes(Ini(), c.bytes);
    const ToolRun r = Tool({L"font", PathText(Ini()), L"No Such Face 4711", installedFace});
    ASSERT_EQ(r.rc, kDone) << ToUtf8(r.err);
    if (c.face) {
      EXPECT_EQ(r.out, *c.face + L"\n");
      EXPECT_EQ(zor::testing::ReadBytes(Ini()), c.bytes);
    } else if (!win::FaceInstalled(kDefaultFace)) {
      EXPECT_EQ(r.out, installedFace + L"\n");
      EXPECT_EQ(UseFont(), installedFace);
    }
  }
}

TEST_F(FontOnFile, ABareNameIsTheFileInTheCurrentFolder) {
  if (win::FaceInstalled(kDefaultFace)) GTEST_SKIP() << "the default face is installed";
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  const ToolRun r = Tool({L"font", L"ZORANTE.ini", SomeInstalledFace()});
  std::filesystem::current_path(before);
  EXPECT_EQ(r.rc, kDone) << ToUtf8(r.err);
  EXPECT_EQ(UseFont(), SomeInstalledFace());
}

TEST_F(FontOnFile, RefusesWhenNoFaceWouldDo) {
  if (win::FaceInstalled(kDefaultFace)) GTEST_SKIP() << "the default face is installed";
  const ToolRun r = Tool({L"font", PathText(Ini()), L"No Such Face 4711"});
  EXPECT_EQ(r.rc, kRefused);
  EXPECT_FALSE(FileExists(Ini()));
  // A folder that does not exist cannot take the file.
  const ToolRun w = Tool({L"font", PathText(dir_ / L"missing" / L"ZORANTE.ini"), SomeInstalledFace()});
  EXPECT_EQ(w.rc, kRefused);
}
#else
TEST(ZortoolFont, NativeRefuses) {
  const ToolRun r = Tool({L"font", L"ZORANTE.ini", L"IPAMincho"});
  EXPECT_EQ(r.rc, kRefused);
  EXPECT_NE(r.err.find(L"zortool.exe"), std::wstring::npos);
}
#endif

}  // namespace
}  // namespace zor::tool
