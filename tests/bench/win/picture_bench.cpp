// Timing of background pictures under WIC and GDI:
//   win_picture_bench.exe photo JPEG WxH [SCALING] - decode, scale and paint
//       one background (centre, scaling 2 unless given) on a page of W × H; the time and the
//       peak working set above the start (run once per process).
//   win_picture_bench.exe decoder JPEG     - the system decoder alone.
//   win_picture_bench.exe run WxH WAIT_MS FILE... - an interval run, with and
//       without decoding the next picture during each wait.
//   win_picture_bench.exe folder DIR N     - choosing a background from a
//       folder N times: the first listing and the average choice after it.
//   win_picture_bench.exe showing FOLDER SECONDS [KIND] - the saver shown for
//       that long from the program folder given: its share of a core, and the
//       system decoder's part of it, from the start and in steady state
//       (after the first 6 s; KIND text, folder or interval names the goal
//       the steady figure is held against; display-off turns the display
//       off at the end of the first 6 s, as the system tells the window, and
//       counts the ticks after it). With text, also the time one look at
//       the registration file's stamp takes, as each page looks.
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>
#include <wincodec.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/data/held_messages.h"
#include "core/screen/background.h"
#include "win/screen/loop_hold.h"
#include "win/screen/display.h"
#include "win/screen/folder_lists.h"
#include "win/screen/gdi_surface.h"
#include "win/screen/image_file.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double PeakMb() {
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
  return static_cast<double>(pmc.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

double ProcessCpuMs() {
  FILETIME created, ended, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user)) return 0.0;
  const auto v = [](const FILETIME& f) { return static_cast<double>(static_cast<std::uint64_t>(f.dwHighDateTime) << 32 | f.dwLowDateTime); };
  return (v(kernel) + v(user)) / 10000.0;
}

class Host final : public zor::win::SurfaceHost {
 public:
  zor::PointSize CreditLabelSize() const override { return {}; }
  void PlaceCreditLabel(float, float, zor::Rgb) override {}
  void Refresh(std::span<const zor::PixelRect>) override {}
  void ReportMissingFace(std::wstring_view) override {}
};

int Photo(const std::wstring& file, int w, int h, std::int16_t scaling) {
  zor::win::ComScope com;
  const double before = PeakMb();
  zor::win::DibImage canvas;
  if (!canvas.Create(w, h)) return 1;
  Host host;
  zor::win::GdiSurface surface(canvas.dc(), w, h, 15.0f, 15.0f, host);
  surface.Clear();
  GdiFlush();
  const double withPage = PeakMb();
  zor::PictureSettings settings;
  settings.frame.backgroundMode = 1;
  settings.backgroundStretch = scaling;
  zor::win::FolderLists folders;
  zor::SeededRandom random(1);
  zor::BackgroundPainter painter(surface, random, folders, settings, false);
  const double cpu0 = ProcessCpuMs();
  const std::uint64_t decoderCpu0 = zor::win::DecoderCpuTime();
  const std::uint64_t decoderClock0 = zor::win::DecoderClockTime();
  const auto start = Clock::now();
  (void)painter.PaintBackground(file);
  GdiFlush();
  const auto end = Clock::now();
  const double cpu = ProcessCpuMs() - cpu0;
  const double decoderCpu = static_cast<double>(zor::win::DecoderCpuTime() - decoderCpu0) / 10000.0;
  const double decoderClock = static_cast<double>(zor::win::DecoderClockTime() - decoderClock0) / 10000.0;
  const double after = PeakMb();
  const zor::PixelSize kept = surface.Picture().KeptSize();
  const double keptMb = kept.width * 4.0 * kept.height / (1024.0 * 1024.0);
  const double pageMb = w * 4.0 * h / (1024.0 * 1024.0);
  std::printf("page %dx%d, scaling %d: decode+scale+paint %.1f ms; picture %dx%d kept at %dx%d (%.1f MB); page %.1f MB\n", w, h,
              scaling, Ms(end - start), surface.Picture().OwnSize().width, surface.Picture().OwnSize().height, kept.width,
              kept.height, keptMb, pageMb);
  // The goal (P4) is about 24-megapixel pictures; the other runs print the same figures unlabelled.
  const zor::PixelSize own = surface.Picture().OwnSize();
  const bool goal = static_cast<double>(own.width) * own.height >= 20.0e6;
  std::printf("%s %dx%d, scaling %d: to the screen %.1f ms, of which the decoder's calls %.1f ms: the program's own part %.1f ms"
              "%s; processor time %.1f ms, the decoder's %.1f ms, the program's own %.1f ms\n",
              goal ? "P4" : "picture", w, h, scaling, Ms(end - start), decoderClock, Ms(end - start) - decoderClock,
              !goal ? "" : Ms(end - start) - decoderClock <= 40.0 ? " (goal <= 40: met)" : " (goal <= 40: NOT met)", cpu,
              decoderCpu, cpu - decoderCpu);
  std::printf("peak working set: %.1f MB at start, %.1f MB with the page, %.1f MB after: +%.1f MB over the page "
              "(budget picture + 20 MB = %.1f MB)\n",
              before, withPage, after, after - withPage, keptMb + 20.0);
  std::printf("centre pixel 0x%06X\n", canvas.pixels()[static_cast<std::size_t>(h / 2) * w + w / 2] & 0xFFFFFFu);

  // The next message with the same unchanged file: painted from the held picture.
  auto again = Clock::now();
  surface.Clear();
  (void)painter.PaintBackground(file);
  GdiFlush();
  std::printf("the next page with the same file: %.1f ms\n", Ms(Clock::now() - again));

  return surface.Picture().Empty() ? 1 : 0;
}

// The system decoder alone creating its frame: its time and the peak
// working set it adds (what no caller can avoid where it decodes whole).
int Decoder(const std::wstring& file) {
  zor::win::ComScope com;
  IWICImagingFactory* factory = nullptr;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                              reinterpret_cast<void**>(&factory)))) {
    return 1;
  }
  const double before = PeakMb();
  IWICBitmapDecoder* decoder = nullptr;
  IWICBitmapFrameDecode* frame = nullptr;
  const auto start = Clock::now();
  const bool made = SUCCEEDED(factory->CreateDecoderFromFilename(file.c_str(), nullptr, GENERIC_READ,
                                                                 WICDecodeMetadataCacheOnDemand, &decoder)) &&
                    SUCCEEDED(decoder->GetFrame(0, &frame));
  const double ms = Ms(Clock::now() - start);
  if (made) std::printf("system decoder creating its frame: %.1f ms, +%.1f MB peak\n", ms, PeakMb() - before);
  if (frame) frame->Release();
  if (decoder) decoder->Release();
  factory->Release();
  return made ? 0 : 1;
}

// Pictures shown in turn as an interval run shows them, each for wait ms:
// the time from the end of a wait to the next picture being held, with and
// without decoding the next one during the wait.
int Run(const std::vector<std::wstring>& files, int w, int h, int wait) {
  zor::win::ComScope com;
  for (const bool ahead : {false, true}) {
    zor::win::HeldPicture picture;
    double total = 0.0;
    double worst = 0.0;
    for (std::size_t k = 0; k < files.size(); ++k) {
      const auto start = Clock::now();
      if (picture.Load(files[k], {w, h}) != zor::win::PictureLoad::kLoaded) return 1;
      const double ms = Ms(Clock::now() - start);
      total += ms;
      worst = std::max(worst, ms);
      if (ahead && k + 1 < files.size()) picture.Prefetch(files[k + 1], {w, h});
      Sleep(static_cast<DWORD>(wait));
    }
    std::printf("interval run of %zu pictures at %dx%d, %d ms each, %s: picture ready %.1f ms after the wait "
                "on average, %.1f ms at worst\n",
                files.size(), w, h, wait, ahead ? "next decoded during the wait" : "decoded when due",
                total / static_cast<double>(files.size()), worst);
  }
  return 0;
}

int Folder(const std::wstring& folder, int n) {
  zor::win::DibImage canvas;
  if (!canvas.Create(64, 64)) return 1;
  Host host;
  zor::win::GdiSurface surface(canvas.dc(), 64, 64, 15.0f, 15.0f, host);
  zor::win::FolderLists folders;
  zor::PictureSettings settings;
  settings.frame.backgroundMode = 2;
  settings.backgroundFolder = folder;
  zor::SeededRandom random(1);
  zor::BackgroundPainter painter(surface, random, folders, settings, false);
  zor::FrameState state;
  auto start = Clock::now();
  const std::wstring first = painter.ChooseBackgroundFile(state);
  const double firstMs = Ms(Clock::now() - start);
  start = Clock::now();
  for (int i = 0; i < n; ++i) (void)painter.ChooseBackgroundFile(state);
  const double eachMs = Ms(Clock::now() - start) / (n > 0 ? n : 1);
  std::printf("folder of %zu pictures: first choice (listing) %.1f ms, each later choice %.3f ms (%d listings)\n",
              folders.Files(folder).size(), firstMs, eachMs, folders.Listings());
  return first.empty() ? 1 : 0;
}

// The display turned off, as the system tells a window registered for the
// console display state.
void SendDisplayOff(HWND form) {
  alignas(POWERBROADCAST_SETTING) unsigned char bytes[sizeof(POWERBROADCAST_SETTING) + sizeof(DWORD)]{};
  auto* setting = reinterpret_cast<POWERBROADCAST_SETTING*>(bytes);
  setting->PowerSetting = GUID_CONSOLE_DISPLAY_STATE;
  setting->DataLength = sizeof(DWORD);
  SendMessageW(form, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(setting));
}

// What the look at the registration file's stamp before each page costs.
void StampCost(const std::filesystem::path& file) {
  zor::HeldMessages held;
  (void)held.Load(file);
  constexpr int kLooks = 2000;
  const auto start = Clock::now();
  for (int i = 0; i < kLooks; ++i) (void)held.Refresh();
  const double each = Ms(Clock::now() - start) * 1000.0 / kLooks;
  std::printf("P2 registration file stamp, looked at before each page: %.1f us a look (%d looks); "
              "at one page in 1 s, %.4f %% of a core\n", each, kLooks, each / 1000.0 / 1000.0 * 100.0);
}

// The saver itself shown for a while (the display controller on a full-screen
// form, as zorante.scr /s runs it) from a program folder whose ZORANTE.ini
// and message file the caller made: the processor time the whole process
// took over the time, and the part of it the system decoder took; once from
// the start, and once in steady state: from the end of the first 6 s (the
// start-up and the first page) to the end.
int Showing(const std::wstring& folder, double seconds, const std::wstring& kind) {
  zor::win::ComScope com;
  zor::win::SeedRandom();
  zor::win::ScreenFormOptions options;
  options.mode = zor::win::ScreenMode::kSaver;
  options.endAction = zor::win::EndAction::kUnload;
  options.countTicks = true;
  const bool displayOff = kind == L"display-off";
  struct Sample {
    double cpu;
    double decoder;
    Clock::time_point at;
  };
  const auto sample = [] {
    return Sample{ProcessCpuMs(), static_cast<double>(zor::win::DecoderCpuTime()) / 10000.0, Clock::now()};
  };
  const Sample first = sample();
  std::unique_ptr<zor::win::ScreenForm> form =
      zor::win::ScreenForm::Load(options, zor::win::MakeDisplayController(folder));
  if (!form) return 1;
  const auto warm = first.at + std::chrono::milliseconds(6000);
  const auto end = first.at + std::chrono::milliseconds(static_cast<long long>(seconds * 1000.0));
  std::optional<Sample> steady;
  std::int32_t ticksAtSteady = 0;
  while (!form->Closing()) {
    const auto now = Clock::now();
    if (now >= end) break;
    if (!steady && now >= warm) {
      if (displayOff) SendDisplayOff(form->hwnd());
      steady = sample();
      zor::win::loop_hold::Reset();
      ticksAtSteady = form->TickCount();
    }
    const auto next = steady ? end : std::min(end, warm);
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(Ms(next - now)) + 1, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) break;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  const Sample last = sample();
  const double held = zor::win::loop_hold::LongestMs();
  const std::int32_t ticksAfterSteady = form->TickCount() - ticksAtSteady;
  const bool closedEarly = form->Closing();
  form->Unload();
  form.reset();
  struct Share {
    double total, decoder, own, wall, cpu, decoderMs;
  };
  const auto share = [&](const Sample& from) {
    const double wall = Ms(last.at - from.at);
    const double cpu = last.cpu - from.cpu;
    const double decoder = last.decoder - from.decoder;
    return Share{100.0 * cpu / wall, 100.0 * decoder / wall, 100.0 * (cpu - decoder) / wall, wall, cpu, decoder};
  };
  const Share all = share(first);
  const Share st = steady ? share(*steady) : all;
  for (const auto& [name, x] : {std::pair<const char*, Share>{"from the start", all}, {"steady state", st}}) {
    std::printf("showing %.0f s, %s: total %.3f %% of a core (%.0f ms), decoder %.3f %% (%.0f ms), program %.3f %% (%.0f ms)%s\n",
                x.wall / 1000.0, name, x.total, x.cpu, x.decoder, x.decoderMs, x.own, x.cpu - x.decoderMs,
                closedEarly ? " (the form closed early)" : "");
  }
  std::printf("Loop held (%ls), steady state: the message loop held at most %.1f ms at a time (goal <= 30: %s)\n",
              kind.c_str(), held, held <= 30.0 ? "met" : "NOT met");
  if (kind == L"folder") {
    std::printf("P2 background folder, steady state: the program's own share %.3f %% of a core (goal <= 0.3: %s); total %.3f %%, decoder %.3f %%\n",
                st.own, st.own <= 0.3 ? "met" : "NOT met", st.total, st.decoder);
  } else if (kind == L"interval") {
    std::printf("P2 interval picture runs, steady state: the program's own share %.3f %% of a core (goal <= 0.5: %s); total %.3f %% "
                "(goal <= 1: %s), decoder %.3f %%\n",
                st.own, st.own <= 0.5 ? "met" : "NOT met", st.total, st.total <= 1.0 ? "met" : "NOT met", st.decoder);
  } else if (kind == L"text") {
    std::printf("P2 text alone, steady state: %.3f %% of a core (no goal; for comparison)\n", st.total);
    StampCost(std::filesystem::path(folder) / L"m.zrd");
  } else if (displayOff) {
    std::printf("P2 display off, after the notification: the saver's own share %.3f %% of a core (%.0f ms in %.0f s), "
                "%d ticks (goal 0 ticks: %s)\n",
                st.total, st.cpu, st.wall / 1000.0, static_cast<int>(ticksAfterSteady), ticksAfterSteady == 0 ? "met" : "NOT met");
  }
  return closedEarly ? 1 : 0;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if ((argc == 4 || argc == 5) && std::wstring(argv[1]) == L"photo") {
    int w = 0;
    int h = 0;
    if (swscanf(argv[3], L"%dx%d", &w, &h) != 2) return 2;
    return Photo(argv[2], w, h, static_cast<std::int16_t>(argc == 5 ? _wtoi(argv[4]) : 2));
  }
  if (argc == 3 && std::wstring(argv[1]) == L"decoder") return Decoder(argv[2]);
  if (argc >= 5 && std::wstring(argv[1]) == L"run") {
    int w = 0;
    int h = 0;
    if (swscanf(argv[2], L"%dx%d", &w, &h) != 2) return 2;
    return Run(std::vector<std::wstring>(argv + 4, argv + argc), w, h, _wtoi(argv[3]));
  }
  if (argc == 4 && std::wstring(argv[1]) == L"folder") return Folder(argv[2], _wtoi(argv[3]));
  if ((argc == 4 || argc == 5) && std::wstring(argv[1]) == L"showing") {
    return Showing(argv[2], _wtof(argv[3]), argc == 5 ? argv[4] : L"");
  }
  std::fprintf(stderr, "usage: win_picture_bench photo JPEG WxH [SCALING] | decoder JPEG | run WxH WAIT_MS FILE... | folder DIR N | showing FOLDER SECONDS [text|folder|interval|display-off]\n");
  return 2;
}
