// Edits a registration file in a loop through the settings dialog's own
// editing code (ListEditor on the Win32 file system), as a user at the
// message list would: add, correct, delete, move, drag, undo and redo.
//
//   e2e_list_edits FILE EDITS SEED TEXTS FLOOR CAP [PAUSE_MS]
//
// Makes EDITS edits that write the file; deletes only while the list holds
// more than FLOOR messages, adds only while it holds fewer than CAP. Every
// text it stores is appended to TEXTS (UTF-8, one a line) before the write.
// An edit refused because another program changed the file is counted and
// tried again, as the dialog re-reads the list and the user clicks again.
// PAUSE_MS spreads the edits over the saver's pages. Prints one line of counts; exits 1 when a write failed or the file could
// not be listed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "core/settings_dialog/list_editor.h"

namespace {

using zor::ListEditor;
using zor::MoveKind;
using zor::Status;

std::string Utf8(std::wstring_view text) {
  std::string out(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                               nullptr, 0, nullptr, nullptr)),
                  '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), static_cast<int>(out.size()),
                      nullptr, nullptr);
  return out;
}

bool LogText(const std::filesystem::path& log, std::wstring_view text) {
  FILE* f = _wfopen(log.c_str(), L"ab");
  if (!f) return false;
  const std::string line = Utf8(text) + "\n";
  const bool ok = std::fwrite(line.data(), 1, line.size(), f) == line.size();
  return std::fclose(f) == 0 && ok;
}

// A text no other edit stores. Every third is full-width alone; the others
// mix both widths and pass 64 bytes, so the number stands in both halves of
// the record and a page made of two versions' halves matches no text.
std::wstring TextFor(int n) {
  wchar_t number[8];
  std::swprintf(number, std::size(number), L"%04d", n);
  if (n % 3 == 0) {
    std::wstring wide;
    for (const wchar_t* c = number; *c; ++c) wide += static_cast<wchar_t>(L'０' + (*c - L'0'));
    return L"一覧の編集" + wide + L"番目です";
  }
  return std::wstring(L"一覧") + number + L" the list editor wrote this line, number " + number + L" 終";
}

struct Tally {
  int add = 0, correct = 0, remove = 0, move = 0, drag = 0, undo = 0, redo = 0;
  int stale = 0, writeFailures = 0;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 7 && argc != 8) {
    std::fputs("usage: e2e_list_edits FILE EDITS SEED TEXTS FLOOR CAP [PAUSE_MS]\n", stderr);
    return 2;
  }
  const std::filesystem::path file = argv[1];
  const int edits = _wtoi(argv[2]);
  std::mt19937 random(static_cast<unsigned>(_wtoi(argv[3])));
  const std::filesystem::path texts = argv[4];
  const int floor = _wtoi(argv[5]);
  const int cap = _wtoi(argv[6]);
  const DWORD pause = argc == 8 ? static_cast<DWORD>(_wtoi(argv[7])) : 0;

  ListEditor editor;
  if (editor.Load(file).kind != zor::LoadOutcome::kLoaded) {
    std::fputs("the file could not be listed\n", stderr);
    return 1;
  }
  const auto below = [&](int n) { return n > 0 ? std::uniform_int_distribution<int>(0, n - 1)(random) : 0; };
  Tally t;
  int done = 0;
  int attempts = 0;
  int next = 1;
  while (done < edits && attempts < edits * 20) {
    ++attempts;
    const int count = editor.Count();
    const zor::EditorView view = editor.View();
    int* counter = nullptr;
    Status status = Status::Ok();
    switch (below(10)) {
      case 0:
      case 1:
        if (count >= cap) continue;
        if (!LogText(texts, TextFor(next))) return 1;
        status = editor.Add(TextFor(next++));
        counter = &t.add;
        break;
      case 2:
      case 3:
        if (count == 0) continue;
        editor.Select(below(count));
        if (!LogText(texts, TextFor(next))) return 1;
        status = editor.Correct(TextFor(next++));
        counter = &t.correct;
        break;
      case 4:
      case 5:
        if (count <= floor) continue;
        editor.Select(below(count));
        status = editor.Delete();
        counter = &t.remove;
        break;
      case 6: {
        if (count < 2) continue;
        const int row = below(count);
        const auto kind = static_cast<MoveKind>(below(4));
        if (zor::MoveTarget(kind, row, count - 1) == row) continue;
        editor.Select(row);
        status = editor.Move(kind);
        counter = &t.move;
        break;
      }
      case 7: {
        if (count < 2) continue;
        const int from = below(count);
        const int to = below(count);
        if (from == to) continue;
        status = editor.Drag(from, to);
        counter = &t.drag;
        break;
      }
      case 8:
        if (!view.undoEnabled) continue;
        status = editor.Undo();
        counter = &t.undo;
        break;
      default:
        if (!view.redoEnabled) continue;
        status = editor.Redo();
        counter = &t.redo;
        break;
    }
    if (status.ok()) {
      ++*counter;
      ++done;
      if (pause) Sleep(pause);
    } else if (status.message() == zor::kStaleFileMessage) {
      ++t.stale;
    } else {
      ++t.writeFailures;
      std::fprintf(stderr, "edit failed: %s\n", Utf8(status.message()).c_str());
    }
  }
  std::printf("edits %d add %d correct %d delete %d move %d drag %d undo %d redo %d stale %d failed %d\n", done, t.add,
              t.correct, t.remove, t.move, t.drag, t.undo, t.redo, t.stale, t.writeFailures);
  return done == edits && t.writeFailures == 0 ? 0 : 1;
}
