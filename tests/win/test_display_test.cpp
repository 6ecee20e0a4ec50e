// The settings dialog's test display under Wine: the message full screen and
// top-most while the dialog is disabled, mouse moves ignored, a key or a
// click ends it, and the dialog is enabled and active again afterwards. A
// missing or foreign registration file is reported and the dialog stays.
//
// Everything is checked from thread timers, which run inside the test
// display's own message loop (and inside a message box's); a watchdog ends
// whatever is left, so a fault fails the test instead of hanging it.
#include "win/screen/test_display.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "../core/temp_folder.h"
#include "core/data/file_system.h"
#include "core/data/registration_file.h"
#include "core/data/settings.h"
#include "core/data/settings_file.h"
#include "win/common/dib.h"

namespace zor::win {
namespace {

constexpr wchar_t kFace[] = L"IPAMincho";
constexpr UINT kStepMs = 250;
constexpr UINT kWatchdogMs = 20000;

std::vector<HWND> ThreadWindows(const wchar_t* className) {
  struct Search {
    const wchar_t* name;
    std::vector<HWND> found;
  } search{className, {}};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND h, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        wchar_t name[64] = {};
        GetClassNameW(h, name, 64);
        if (std::wstring_view(name) == s->name) s->found.push_back(h);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND Form() {
  const std::vector<HWND> forms = ThreadWindows(L"ZoranteScreenForm");
  for (HWND h : forms) {
    if (IsWindowVisible(h)) return h;
  }
  return nullptr;
}

// The texts of a message box's static controls, joined.
std::wstring BoxText(HWND box) {
  std::wstring text;
  EnumChildWindows(
      box,
      [](HWND h, LPARAM p) -> BOOL {
        wchar_t name[16] = {};
        GetClassNameW(h, name, 16);
        if (_wcsicmp(name, L"Static") == 0) {
          wchar_t buffer[1024] = {};
          GetWindowTextW(h, buffer, 1024);
          *reinterpret_cast<std::wstring*>(p) += buffer;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&text));
  return text;
}

// Pixels of the window's client area that differ from black.
int Ink(HWND form) {
  RECT r{};
  GetClientRect(form, &r);
  DibImage copy;
  if (!copy.Create(r.right, r.bottom)) return -1;
  WindowDc screen(form);
  BitBlt(copy.dc(), 0, 0, r.right, r.bottom, screen.get(), 0, 0, SRCCOPY);
  GdiFlush();
  int ink = 0;
  for (LONG i = 0; i < r.right * r.bottom; ++i) ink += (copy.pixels()[i] & 0xFFFFFF) != 0 ? 1 : 0;
  return ink;
}

struct Probe {
  HWND owner = nullptr;
  UINT endMessage = WM_KEYDOWN;
  WPARAM endWParam = 'A';
  int holdSteps = 0;  // steps the page stays before the ending input (screenshots)
  // What was seen.
  int step = 0;
  bool shown = false;
  bool ownerDisabled = false;
  bool topMost = false;
  RECT rect{};
  int ink = 0;
  bool stayedAfterMoves = false;
  bool endPosted = false;
  std::wstring box;
  bool watchdog = false;
};

Probe* g_probe = nullptr;

void CALLBACK Step(HWND, UINT, UINT_PTR, DWORD) {
  Probe& p = *g_probe;
  for (HWND box : ThreadWindows(L"#32770")) {
    p.box += BoxText(box);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
  HWND form = Form();
  if (!form || p.endPosted) return;
  ++p.step;
  if (!p.shown) {
    p.shown = true;
    p.ownerDisabled = !IsWindowEnabled(p.owner);
    p.topMost = (GetWindowLongW(form, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    GetWindowRect(form, &p.rect);
    p.ink = Ink(form);
    PostMessageW(form, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    PostMessageW(form, WM_MOUSEMOVE, 0, MAKELPARAM(200, 150));
    return;
  }
  if (p.step == 2) p.stayedAfterMoves = true;
  if (p.step < 2 + p.holdSteps) return;
  PostMessageW(form, p.endMessage, p.endWParam, MAKELPARAM(20, 20));
  p.endPosted = true;
}

void CALLBACK Watchdog(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  g_probe->watchdog = true;
  for (HWND box : ThreadWindows(L"#32770")) PostMessageW(box, WM_COMMAND, IDOK, 0);
  for (HWND form : ThreadWindows(L"ZoranteScreenForm")) DestroyWindow(form);
}

bool FaceInstalled() {
  LOGFONTW lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  wcscpy_s(lf.lfFaceName, kFace);
  bool found = false;
  WindowDc dc(nullptr);
  EnumFontFamiliesExW(
      dc.get(), &lf,
      [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM f) -> int {
        *reinterpret_cast<bool*>(f) = true;
        return 0;
      },
      reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

class TestDisplay : public ::testing::Test {
 protected:
  void SetUp() override {
    owner_ = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner_, nullptr);
    SettingsFileStore store(SettingsFilePath(dir_.path()));
    ASSERT_TRUE(WriteSetting(store, L"LoadFileName", PathText(file_)).ok());
    ASSERT_TRUE(WriteSetting(store, L"UseFont", kFace).ok());
  }
  void TearDown() override { DestroyWindow(owner_); }

  // Runs the test display with the probe's steps and the watchdog.
  void Run(Probe& probe, const TestDisplayRequest& request) {
    probe.owner = owner_;
    g_probe = &probe;
    const UINT_PTR step = SetTimer(nullptr, 0, kStepMs, Step);
    const UINT_PTR watchdog = SetTimer(nullptr, 0, kWatchdogMs, Watchdog);
    ShowTestDisplay(owner_, request, dir_.path());
    KillTimer(nullptr, step);
    KillTimer(nullptr, watchdog);
    g_probe = nullptr;
  }

  // Back with the dialog: enabled, active, no form left, its loop untouched.
  void ExpectBackWithTheOwner() {
    EXPECT_TRUE(IsWindowEnabled(owner_));
    EXPECT_EQ(GetActiveWindow(), owner_);
    EXPECT_TRUE(ThreadWindows(L"ZoranteScreenForm").empty());
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "no quit for the dialog's loop";
  }

  zor::testing::TempFolder dir_;
  std::filesystem::path file_ = dir_ / "messages.zrd";
  HWND owner_ = nullptr;
};

TEST_F(TestDisplay, ShowsTheMessageFullScreenUntilAKeyOrAClick) {
  if (!FaceInstalled()) GTEST_SKIP() << "IPAMincho is not installed";
  ASSERT_TRUE(CreateEmptyRegistrationFile(file_).ok());
  ASSERT_TRUE(AddMessage(file_, L"夜明けの前が一番暗い").ok());
  const char* hold = std::getenv("ZOR_TEST_DISPLAY_HOLD_MS");
  const struct {
    UINT message;
    WPARAM wp;
  } endings[] = {{WM_KEYDOWN, 'A'}, {WM_LBUTTONDOWN, MK_LBUTTON}, {WM_RBUTTONDOWN, MK_RBUTTON}};
  for (const auto& ending : endings) {
    SCOPED_TRACE(ending.message);
    Probe probe;
    probe.endMessage = ending.message;
    probe.endWParam = ending.wp;
    probe.holdSteps = hold ? std::atoi(hold) / static_cast<int>(kStepMs) : 0;
    TestDisplayRequest request;
    request.text = L"夜明けの前が一番暗い";
    request.layout = 0;  // "A" on black
    Run(probe, request);
    EXPECT_FALSE(probe.watchdog) << "the test display did not end";
    ASSERT_TRUE(probe.shown);
    EXPECT_TRUE(probe.ownerDisabled);
    EXPECT_TRUE(probe.topMost);
    EXPECT_EQ(probe.rect.left, 0);
    EXPECT_EQ(probe.rect.top, 0);
    EXPECT_GE(probe.rect.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_GE(probe.rect.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_GT(probe.ink, 2000) << "the message is drawn";
    EXPECT_TRUE(probe.stayedAfterMoves) << "mouse moves do not end the test display";
    EXPECT_TRUE(probe.box.empty()) << probe.box;
    ExpectBackWithTheOwner();
  }
}

TEST_F(TestDisplay, AnUnusableRegistrationFileIsReportedAndTheDialogStays) {
  const std::wstring path = PathText(file_);
  const struct {
    bool exists;
    std::string bytes;
    std::wstring message;
  } cases[] = {
      {false, "", MissingFileMessage(path)},
      // Version 98, then anything but the magic.
      {true, std::string("\x62\x00", 2) + std::string(30, 'x'), ForeignFileMessage(path, OpenedBy::kLoad)},
      {true, std::string("\x63\x00", 2), NewerVersionMessage(path)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes.size());
    std::filesystem::remove(file_);
    if (c.exists) zor::testing::WriteBytes(file_, c.bytes);
    Probe probe;
    TestDisplayRequest request;
    request.text = L"文";
    Run(probe, request);
    EXPECT_FALSE(probe.watchdog);
    EXPECT_FALSE(probe.shown) << "nothing is shown";
    EXPECT_EQ(probe.box, c.message);
    ExpectBackWithTheOwner();
  }
}

}  // namespace
}  // namespace zor::win
