// Timings of the message list editor on a file of 500 messages: opening it,
// and a move or a delete including the check for outside changes, the
// write (flushed to disk) and the re-read of the list.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "core/data/file_system.h"
#include "core/data/registration_file.h"
#include "core/settings_dialog/list_editor.h"

namespace {

namespace fs = std::filesystem;

class BenchFolder {
 public:
  BenchFolder() {
    static int made = 0;
    path_ =
        fs::temp_directory_path() / ("zor-editor-bench-" + std::to_string(::getpid()) + "-" + std::to_string(made++));
    fs::create_directories(path_);
  }
  ~BenchFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  BenchFolder(const BenchFolder&) = delete;
  BenchFolder& operator=(const BenchFolder&) = delete;
  [[nodiscard]] const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// 500 messages of 40 full-width characters: every record holds text in both halves.
fs::path FullFile(const BenchFolder& dir) {
  zor::RegistrationHeader h;
  h.count = zor::kMaxMessages;
  std::string bytes = h.Encode();
  for (int i = 0; i < zor::kMaxMessages; ++i) {
    zor::RecordBytes r = zor::BlankRecord();
    zor::SetRecordText(r, std::wstring(39, L'字') + std::to_wstring(i % 10));
    bytes.append(r.data(), r.size());
  }
  const fs::path file = dir.path() / "full.zrd";
  zor::Status s = zor::ReplaceFileContents(file, [&](zor::FileWriter& w) { return w.Write(bytes); });
  return s.ok() ? file : fs::path();
}

void BM_EditorOpen500(benchmark::State& state) {
  BenchFolder dir;
  const fs::path file = FullFile(dir);
  if (file.empty()) return state.SkipWithError("could not make a 500-message file");
  for (auto _ : state) {
    zor::ListEditor editor;
    if (editor.Load(file).kind != zor::LoadOutcome::kLoaded || editor.Count() != zor::kMaxMessages) {
      return state.SkipWithError("load failed");
    }
    benchmark::DoNotOptimize(editor.Rows().data());
  }
}
BENCHMARK(BM_EditorOpen500)->Unit(benchmark::kMicrosecond);

// Row 250 moves down and back up, so the file keeps its order; one move per iteration.
void BM_EditorMove500(benchmark::State& state) {
  BenchFolder dir;
  const fs::path file = FullFile(dir);
  zor::ListEditor editor;
  if (file.empty() || editor.Load(file).kind != zor::LoadOutcome::kLoaded) {
    return state.SkipWithError("could not open a 500-message file");
  }
  const auto kind = static_cast<int>(state.range(0));
  const zor::MoveKind there = kind == 1 ? zor::MoveKind::kDown : zor::MoveKind::kDownTen;
  const zor::MoveKind back = kind == 1 ? zor::MoveKind::kUp : zor::MoveKind::kUpTen;
  editor.Select(250);
  bool down = true;
  for (auto _ : state) {
    if (!editor.Move(down ? there : back).ok()) return state.SkipWithError("move failed");
    down = !down;
  }
}
BENCHMARK(BM_EditorMove500)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);

void BM_EditorDrag500(benchmark::State& state) {
  BenchFolder dir;
  const fs::path file = FullFile(dir);
  zor::ListEditor editor;
  if (file.empty() || editor.Load(file).kind != zor::LoadOutcome::kLoaded) {
    return state.SkipWithError("could not open a 500-message file");
  }
  bool down = true;
  for (auto _ : state) {
    if (!(down ? editor.Drag(0, 499) : editor.Drag(499, 0)).ok()) return state.SkipWithError("drag failed");
    down = !down;
  }
}
BENCHMARK(BM_EditorDrag500)->Unit(benchmark::kMicrosecond);

void BM_EditorDelete500(benchmark::State& state) {
  BenchFolder dir;
  const fs::path full = FullFile(dir);
  if (full.empty()) return state.SkipWithError("could not make a 500-message file");
  const fs::path file = dir.path() / "work.zrd";
  zor::ListEditor editor;
  for (auto _ : state) {
    state.PauseTiming();
    fs::copy_file(full, file, fs::copy_options::overwrite_existing);
    if (!editor.UseFile(file).ok()) return state.SkipWithError("could not open the copy");
    editor.Select(250);
    state.ResumeTiming();
    if (!editor.Delete().ok()) return state.SkipWithError("delete failed");
  }
}
BENCHMARK(BM_EditorDelete500)->Unit(benchmark::kMicrosecond);

}  // namespace
