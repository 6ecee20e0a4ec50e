// The core's own part of a title card, natively on the recording surface:
// laying out and issuing the prints of a 32-character card for each
// decoration (what is left of a page's time when drawing costs nothing).
#include <benchmark/benchmark.h>

#include <string>

#include "core/screen/recording_surface.h"
#include "core/screen/sequencer.h"

namespace {

void BM_ComposeCardOnRecordingSurface(benchmark::State& state) {
  const auto decoration = static_cast<std::int16_t>(state.range(0));
  const std::wstring text =
      std::wstring(L"夜明け前が一番暗いと言うけれど今日の空は明るく晴れて気持ちが良いですね").substr(0, 32);
  std::size_t prints = 0;
  for (auto _ : state) {
    zor::RecordingSurface surface(3840, 2160);
    zor::NoWaitClock clock;
    zor::SeededRandom random(1);
    zor::FrameState frame;
    zor::NoBackground pictures;
    zor::TitleCardRenderer renderer(surface, clock, pictures, random, frame);
    renderer.draw.typeFace = L"IPAMincho";
    renderer.draw.decorationStyle = decoration;
    zor::CardRequest request;
    request.text = text;
    request.testDisplay = true;
    request.emphasis.on = true;
    bool invert = false;
    benchmark::DoNotOptimize(renderer.Render('B', request, invert));
    prints = surface.prints.size();
  }
  state.counters["prints"] = static_cast<double>(prints);
}
// none, extra-bold, outline, shadow
BENCHMARK(BM_ComposeCardOnRecordingSurface)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);

}  // namespace
