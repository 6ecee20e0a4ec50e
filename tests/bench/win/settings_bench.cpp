// Times the message list editor on a full registration file (500 messages)
// and on an empty one: opening the dialog until the list is filled and
// painted, and a move and a delete from row 250, each with its file write
// and list refresh. Then the parts of those: reading the file, filling the
// list box (and a plain list box without the drag-list subclass, whose
// every message costs a property lookup under Wine), and the data layer's
// move and delete alone.
// Usage: win_settings_bench [RUNS [each]] (run on a display; writes in
// %TEMP%); "each" prints every run of the dialog, to see a trend.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/data/registration_file.h"
#include "core/settings_dialog/list_editor.h"
#include "core/screen/sequencer.h"
#include "win/common/dialog_services.h"
#include "win/settings_dialog/settings_dialog.h"
#include "win/settings_dialog/settings_dialog_ids.h"

namespace {

using namespace zor;
using namespace zor::win;
namespace fs = std::filesystem;

constexpr int kFull = 500;
constexpr int kRow = 250;

double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

struct Figures {
  const char* name;
  std::vector<double> ms;
};

void Print(const Figures& f) {
  if (f.ms.empty()) {
    std::printf("%-38s no runs\n", f.name);
    return;
  }
  std::vector<double> v = f.ms;
  std::sort(v.begin(), v.end());
  std::printf("%-38s median %7.2f ms  min %7.2f  max %7.2f  (%zu runs)\n", f.name, v[v.size() / 2], v.front(),
              v.back(), v.size());
}

// No blocking call of the dialog may wait on a person here.
class BenchServices final : public DialogServices {
 public:
  std::vector<std::wstring> messages;
  INT_PTR RunDialog(Dialog&, HWND) override { return IDCANCEL; }
  int Message(HWND, std::wstring_view text, UINT, std::wstring_view) override {
    messages.emplace_back(text);
    return IDOK;
  }
  FileDialogAnswer AskFile(HWND, const FileDialogRequest& request) override {
    return FileDialogAnswer{false, request.initialName, 0};
  }
  void Help(HWND, HelpCommand, const std::filesystem::path&, std::wstring_view) override {}
  void TestDisplay(HWND, const TestDisplayRequest&) override {}
};

// Runs every pending message, paints included; timers wait (the
// thumbnails are drawn on one once the selection settles, timed apart).
void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, WM_TIMER - 1, PM_REMOVE) ||
         PeekMessageW(&msg, nullptr, WM_TIMER + 1, 0xFFFFFFFF, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void Select(HWND dialog, int row) {
  HWND list = GetDlgItem(dialog, IDC_MESSAGE_LIST);
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_MESSAGE_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

// A message of typical length: Japanese and English ones in turn, numbered.
std::wstring MessageText(int i) {
  const std::wstring n = std::to_wstring(i);
  return i % 2 ? L"夜明けの前が一番暗いと言うけれど、今日は" + n : L"Rome was not built in a day, nor in " + n;
}

// A program folder with a settings file that names its registration file.
bool MakeFolder(const fs::path& folder, int messages, const fs::path& master) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  const fs::path file = folder / L"zorante.zrd";
  if (!master.empty()) {
    if (!CopyFileW(master.c_str(), file.c_str(), FALSE)) return false;
  } else {
    if (!CreateEmptyRegistrationFile(file).ok()) return false;
    for (int i = 1; i <= messages; ++i) {
      if (!AddMessage(file, MessageText(i)).ok()) return false;
    }
  }
  // The face by its code page 932 name, as the settings file stores it.
  std::ofstream ini(folder / L"ZORANTE.ini", std::ios::binary);
  ini << "[ZORANTE]\r\nUseFont=IPA\x96\xbe\x92\xa9\r\nLoadFileName=" << file.string() << "\r\n";
  return static_cast<bool>(ini);
}

// Opens the dialog on the folder; the time until its list is filled and painted.
double Open(SettingsDialog& form) {
  const double t0 = Now();
  if (!form.Open(nullptr)) return -1;
  Pump();
  UpdateWindow(form.hwnd());
  return Now() - t0;
}

// Selects the row, lets its thumbnails be drawn, then times one button
// until the list is painted; *thumbnails gets the time of the thumbnails
// drawn afterwards for the new selection.
double Click(SettingsDialog& form, int button, double* thumbnails) {
  Select(form.hwnd(), kRow);
  form.FlushThumbnails();
  Pump();
  const double t0 = Now();
  SendMessageW(GetDlgItem(form.hwnd(), button), BM_CLICK, 0, 0);
  Pump();
  UpdateWindow(form.hwnd());
  const double t1 = Now();
  form.FlushThumbnails();
  Pump();
  *thumbnails = Now() - t1;
  return t1 - t0;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  const bool each = argc > 2 && std::string(argv[2]) == "each";
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);

  wchar_t temp[MAX_PATH] = L"";
  GetTempPathW(MAX_PATH, temp);
  const fs::path root = fs::path(temp) / L"zor_settings_bench";
  std::error_code ec;
  fs::remove_all(root, ec);
  const fs::path master = root / L"master.zrd";
  const fs::path full = root / L"full";
  const fs::path empty = root / L"empty";
  if (!MakeFolder(root / L"make", kFull, {}) || !CopyFileW((root / L"make" / L"zorante.zrd").c_str(), master.c_str(), FALSE) ||
      !MakeFolder(empty, 0, {})) {
    std::fprintf(stderr, "cannot make the registration files in %ls\n", root.c_str());
    return 1;
  }

  BenchServices services;
  Figures openEmpty{"open, empty file", {}};
  Figures openFull{"open, 500 messages", {}};
  Figures moveDown{"DOWN from row 250", {}};
  Figures moveUpTen{"up ten from row 250", {}};
  Figures remove{"delete row 250", {}};
  Figures thumbs{"then: thumbnails of the moved row", {}};
  // One warm-up round of each, not counted (first use of fonts, classes, the file cache).
  for (int i = 0; i <= runs; ++i) {
    {
      SettingsDialog form(services, empty);
      const double t = Open(form);
      if (i) openEmpty.ms.push_back(t);
    }
    if (!MakeFolder(full, 0, master)) return 1;
    SettingsDialog form(services, full);
    const double t = Open(form);
    if (SendDlgItemMessageW(form.hwnd(), IDC_MESSAGE_LIST, LB_GETCOUNT, 0, 0) != kFull) {
      std::fprintf(stderr, "the list holds %d rows\n",
                   static_cast<int>(SendDlgItemMessageW(form.hwnd(), IDC_MESSAGE_LIST, LB_GETCOUNT, 0, 0)));
      return 1;
    }
    double thumbnails = 0, unused = 0;
    const double down = Click(form, IDC_MOVE_DOWN, &thumbnails);
    const double upTen = Click(form, IDC_MOVE_UP_TEN, &unused);
    const double del = Click(form, IDC_DELETE, &unused);
    if (SendDlgItemMessageW(form.hwnd(), IDC_MESSAGE_LIST, LB_GETCOUNT, 0, 0) != kFull - 1) {
      std::fprintf(stderr, "the delete did not take\n");
      return 1;
    }
    if (each) {
      std::printf("run %2d: open %.1f (empty %.1f), DOWN %.1f, up ten %.1f, delete %.1f ms\n", i, t,
                  openEmpty.ms.empty() ? 0.0 : openEmpty.ms.back(), down, upTen, del);
    }
    if (i) {
      openFull.ms.push_back(t);
      moveDown.ms.push_back(down);
      moveUpTen.ms.push_back(upTen);
      remove.ms.push_back(del);
      thumbs.ms.push_back(thumbnails);
    }
  }
  std::printf("== the dialog (open: until the list is filled and painted; edits: click to list refreshed)\n");
  for (const Figures* f : {&openEmpty, &openFull, &moveDown, &moveUpTen, &remove, &thumbs}) Print(*f);

  // The parts.
  Figures read{"read 500 messages (editor load)", {}};
  Figures reset{"list box: LB_RESETCONTENT", {}};
  Figures add{"list box: 500 x LB_ADDSTRING", {}};
  Figures paint{"list box: redraw on, painted", {}};
  Figures two{"list box: 2 rows replaced, painted", {}};
  Figures twoQuiet{"  the same with redraw off meanwhile", {}};
  Figures plain{"plain list box: 500 x LB_ADDSTRING", {}};
  Figures select{"select the next row (list unchanged)", {}};
  Figures coreMove{"data layer: move one row", {}};
  Figures coreDelete{"data layer: delete one row", {}};
  if (!MakeFolder(full, 0, master)) return 1;
  const fs::path file = full / L"zorante.zrd";
  SettingsDialog form(services, full);
  (void)Open(form);
  HWND list = GetDlgItem(form.hwnd(), IDC_MESSAGE_LIST);
  // The same list box without the drag-list subclass, over the dialog's own.
  RECT lr{};
  GetWindowRect(list, &lr);
  MapWindowPoints(HWND_DESKTOP, form.hwnd(), reinterpret_cast<POINT*>(&lr), 2);
  HWND plainList = CreateWindowExW(0, L"LISTBOX", L"", static_cast<DWORD>(GetWindowLongW(list, GWL_STYLE)),
                                   lr.left, lr.top, lr.right - lr.left, lr.bottom - lr.top, form.hwnd(), nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
  SendMessageW(plainList, WM_SETFONT, SendMessageW(list, WM_GETFONT, 0, 0), 0);
  std::vector<std::wstring> rows;
  for (int i = 0; i <= runs; ++i) {
    ListEditor editor;
    double t0 = Now();
    (void)editor.Load(file);
    const double tRead = Now() - t0;
    rows = editor.Rows();

    // The list refreshed as the dialog does it, in three steps.
    t0 = Now();
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    const double tReset = Now() - t0;
    t0 = Now();
    for (const std::wstring& r : rows) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(r.c_str()));
    const double tAdd = Now() - t0;
    t0 = Now();
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    UpdateWindow(list);
    const double tPaint = Now() - t0;
    // What a move needs of the list: its two rows exchanged, with the
    // list drawing each change (every one updates the scroll bar) and not.
    const auto exchange = [&](bool redrawOff) {
      const double start = Now();
      if (redrawOff) SendMessageW(list, WM_SETREDRAW, FALSE, 0);
      for (int row : {kRow, kRow + 1}) {
        SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(row), 0);
        const std::wstring& text = rows[static_cast<std::size_t>(row == kRow ? kRow + 1 : kRow)];
        SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.c_str()));
      }
      SendMessageW(list, LB_SETCURSEL, kRow + 1, 0);
      if (redrawOff) {
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
      }
      UpdateWindow(list);
      return Now() - start;
    };
    const double tTwo = exchange(false);
    const double tTwoQuiet = exchange(true);
    // The rest of a refresh (text box, labels, menu) when the buttons and
    // thumbnails stay as they are.
    Select(form.hwnd(), kRow);
    form.FlushThumbnails();
    Pump();
    t0 = Now();
    Select(form.hwnd(), kRow + 1);
    Pump();
    UpdateWindow(form.hwnd());
    const double tSelect = Now() - t0;
    form.FlushThumbnails();
    t0 = Now();
    SendMessageW(plainList, WM_SETREDRAW, FALSE, 0);
    SendMessageW(plainList, LB_RESETCONTENT, 0, 0);
    for (const std::wstring& r : rows) SendMessageW(plainList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(r.c_str()));
    SendMessageW(plainList, WM_SETREDRAW, TRUE, 0);
    const double tPlain = Now() - t0;

    t0 = Now();
    const bool moved = MoveMessage(file, kRow + 1, 1).ok();
    const double tMove = Now() - t0;
    if (!MakeFolder(full, 0, master)) return 1;
    t0 = Now();
    const bool deleted = DeleteMessage(file, kRow + 1).ok();
    const double tDelete = Now() - t0;
    if (!MakeFolder(full, 0, master)) return 1;
    if (!moved || !deleted) {
      std::fprintf(stderr, "the data layer refused a move or delete\n");
      return 1;
    }
    if (i) {
      read.ms.push_back(tRead);
      reset.ms.push_back(tReset);
      add.ms.push_back(tAdd);
      paint.ms.push_back(tPaint);
      two.ms.push_back(tTwo);
      twoQuiet.ms.push_back(tTwoQuiet);
      plain.ms.push_back(tPlain);
      select.ms.push_back(tSelect);
      coreMove.ms.push_back(tMove);
      coreDelete.ms.push_back(tDelete);
    }
  }
  std::printf("== parts\n");
  for (const Figures* f : {&read, &reset, &add, &paint, &two, &twoQuiet, &plain, &select, &coreMove, &coreDelete}) Print(*f);
  for (const std::wstring& m : services.messages) {
    std::string utf8(m.size() * 3, '\0');
    utf8.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, m.data(), static_cast<int>(m.size()),
                                                             utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr)));
    std::printf("message box: %s\n", utf8.c_str());
  }
  fs::remove_all(root, ec);
  return 0;
}
