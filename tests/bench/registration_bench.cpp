// Timings of the registration-file work: the import of a huge text file, and
// delete and move in a full file. Files live in a temporary folder that is
// removed afterwards; every change goes to disk (flush and replace), so the
// figures include the disk's sync time.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/data/registration_file.h"
#include "core/data/text_exchange.h"
#include "core/text/cp932.h"
#include "core/text/unicode.h"

namespace {

namespace fs = std::filesystem;

class TempFolder {
 public:
  TempFolder() {
    static int made = 0;
    path_ = fs::temp_directory_path() / ("zor-bench-" + std::to_string(::getpid()) + "-" + std::to_string(made++));
    fs::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  [[nodiscard]] const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// Bytes read by this process so far ("rchar" of /proc/self/io), -1 when unknown.
std::int64_t BytesReadSoFar() {
  std::ifstream io("/proc/self/io");
  std::string key;
  std::int64_t value = 0;
  while (io >> key >> value) {
    if (key == "rchar:") return value;
  }
  return -1;
}

double PeakRssMiB() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // KiB on Linux
}

// The line n of the benchmark files: every third one Japanese.
std::wstring LineText(int n) {
  const std::wstring number = std::to_wstring(n);
  return n % 3 == 0 ? L"　登録番号 " + number + L" の文章です  " : L"message number " + number;
}

// count acceptable lines, CP932, CR LF.
void WriteLines(const fs::path& path, int count) {
  std::ofstream out(path, std::ios::binary);
  for (int i = 1; i <= count; ++i) out << zor::ToCp932(LineText(i)) << "\r\n";
}

// count acceptable lines, UTF-8 without a mark, CR LF, then Japanese lines
// up to totalBytes: a file read to its end, the encoding known only there.
void WriteUtf8Lines(const fs::path& path, int count, std::uintmax_t totalBytes) {
  std::ofstream out(path, std::ios::binary);
  std::uintmax_t written = 0;
  for (int i = 1; i <= count; ++i) {
    const std::string line = zor::ToUtf8(LineText(i)) + "\r\n";
    out << line;
    written += line.size();
  }
  std::string block;
  while (block.size() < (1u << 20)) block += zor::ToUtf8(L"吾輩は猫である。名前はまだ無い。\r\n");
  while (written < totalBytes) {
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
    written += block.size();
  }
}

void ImportAndCount(benchmark::State& state, const fs::path& text) {
  const std::int64_t readBefore = BytesReadSoFar();
  for (auto _ : state) {
    zor::Result<zor::ImportOutcome> r = zor::Import(text, /*limitTo100=*/false);
    if (!r.ok() || r.value().report.registered != zor::kMaxMessages) {
      state.SkipWithError("the import did not register 500 messages");
      break;
    }
    state.PauseTiming();
    fs::remove(r.value().registration);
    state.ResumeTiming();
  }
  const std::int64_t readAfter = BytesReadSoFar();
  if (readBefore >= 0 && readAfter >= 0) {
    state.counters["read_bytes"] =
        benchmark::Counter(static_cast<double>(readAfter - readBefore), benchmark::Counter::kAvgIterations);
  }
  state.counters["peak_rss_MiB"] = PeakRssMiB();
}

// A CP932 text file of range(0) acceptable lines, extended with a hole to
// range(1) MiB (sparse: nothing is written beyond the lines). The hole reads
// as zero bytes, one endless line the import skips as too long.
void BM_ImportShiftJis(benchmark::State& state) {
  TempFolder dir;
  const fs::path text = dir.path() / "big.txt";
  WriteLines(text, static_cast<int>(state.range(0)));
  const auto size = static_cast<std::uintmax_t>(state.range(1)) << 20;
  if (size > fs::file_size(text)) fs::resize_file(text, size);
  ImportAndCount(state, text);
}
BENCHMARK(BM_ImportShiftJis)->Args({500, 0})->Args({600, 0})->Args({600, 1024})->Unit(benchmark::kMillisecond);

// The same lines in UTF-8, followed by real UTF-8 text up to range(1) MiB.
void BM_ImportUtf8(benchmark::State& state) {
  TempFolder dir;
  const fs::path text = dir.path() / "big.txt";
  WriteUtf8Lines(text, static_cast<int>(state.range(0)), static_cast<std::uintmax_t>(state.range(1)) << 20);
  ImportAndCount(state, text);
}
BENCHMARK(BM_ImportUtf8)->Args({500, 0})->Args({600, 1024})->Unit(benchmark::kMillisecond);

// A registration file of 500 messages, made by the import.
fs::path FullFile(const TempFolder& dir) {
  const fs::path text = dir.path() / "full.txt";
  const fs::path file = dir.path() / "full.zrd";
  WriteLines(text, zor::kMaxMessages);
  zor::Result<zor::ImportReport> n = zor::ImportInto(file, text, /*limitTo100=*/false);
  if (!n.ok() || n.value().registered != zor::kMaxMessages) return {};
  return file;
}

void BM_DeleteIn500(benchmark::State& state) {
  TempFolder dir;
  const fs::path full = FullFile(dir);
  if (full.empty()) {
    state.SkipWithError("could not make a 500-message file");
    return;
  }
  const fs::path file = dir.path() / "work.zrd";
  for (auto _ : state) {
    state.PauseTiming();
    fs::copy_file(full, file, fs::copy_options::overwrite_existing);
    state.ResumeTiming();
    if (!zor::DeleteMessage(file, 250).ok()) {
      state.SkipWithError("delete failed");
      break;
    }
  }
}
BENCHMARK(BM_DeleteIn500)->Unit(benchmark::kMicrosecond);

// Message 1 moves range(0) rows down, then back up, so the file keeps its 500
// messages and its order; one move per iteration.
void BM_MoveIn500(benchmark::State& state) {
  TempFolder dir;
  const fs::path file = FullFile(dir);
  if (file.empty()) {
    state.SkipWithError("could not make a 500-message file");
    return;
  }
  const int step = static_cast<int>(state.range(0));
  bool down = true;
  for (auto _ : state) {
    const zor::Status s = down ? zor::MoveMessage(file, 1, step) : zor::MoveMessage(file, 1 + step, -step);
    if (!s.ok()) {
      state.SkipWithError("move failed");
      break;
    }
    down = !down;
  }
  zor::Result<zor::RegistrationHeader> h = zor::ValidateRegistrationFile(file);
  if (!h.ok() || h.value().MessageCount() != zor::kMaxMessages) state.SkipWithError("the file lost messages");
}
BENCHMARK(BM_MoveIn500)->Arg(1)->Arg(10)->Arg(499)->Unit(benchmark::kMicrosecond);

}  // namespace
