#include "core/screen/sequencer.h"

#include "core/screen/composers.h"
#include "core/screen/plain_layouts.h"
#include "core/text/kanji.h"
#include "core/text/measures.h"

namespace zor {

CurrentFormat FormatOfRecord(const MessageFormat& stored) {
  CurrentFormat format;
  format.emphasisMarks.assign(stored.marks.begin(), stored.marks.end());
  format.emphasisMode = stored.mode;
  format.foldPosition = DecodeFoldPosition(stored.fold);
  format.foldKind = stored.kind;
  format.fixedLayout = stored.layout;
  return format;
}

std::pair<char, bool> TestThumbnail(int index) noexcept {
  switch (index) {
    case 0: return {'A', false};
    case 1: return {'B', false};
    case 2: return {'A', true};
    case 3: return {'B', true};
    case 4: return {'C', false};
    case 5: return {'C', true};
    default: return {'C', false};
  }
}

std::wstring ExpandKeywords(const std::wstring& text, bool formal, bool unitYear, std::wstring_view date,
                            std::wstring_view time) {
  std::wstring out = text;
  if (LowerCase(out) == L"\\date") out = KanjiDate(formal, unitYear, date);
  if (LowerCase(out) == L"\\time") out = KanjiTime(formal, unitYear, time);
  return out;
}

bool Sequencer::ChooseInvert(std::int16_t scheme) {
  switch (scheme) {
    case 1: return true;
    case 2: return random_.Rand(2) == 0;
    case 3: return random_.Rand(3) == 0;
    default: return false;
  }
}

void Sequencer::ChooseLayoutFlag(const SequencerOptions& options) {
  if (options.layout == 1) place_.useCentreLayout = true;
  bool anew = true;
  if (options.intervalMode != 0) {
    anew = frame_.intervalJustShown;
  } else if (options.backgroundMode != 0) {
    anew = place_.displayTick == 0;
  }
  if (!anew) return;
  if (options.layout == 0) {
    place_.useCentreLayout = false;
  } else if (options.layout == 1) {
    place_.useCentreLayout = true;
  } else if (options.layout == 2) {
    // The integer part of 2 × random, minus 1, is the flag: 0 gives true (-1).
    place_.useCentreLayout = random_.Rand(2) == 0;
  }
}

int Sequencer::PickMessage(const SequencerOptions& options) {
  if (options.order == 1) {
    // The count may have shrunk since the last page.
    if (place_.sequentialIndex >= options.count) place_.sequentialIndex = 0;
    return place_.sequentialIndex + 1;
  }
  int v = random_.Rand(options.count) + 1;
  if (v == place_.lastRandomIndex) {
    ++v;
    if (v > options.count) v = 1;
  }
  place_.lastRandomIndex = v;
  return v;
}

std::wstring Sequencer::ReadMessage(int v) {
  place_.format = CurrentFormat{};
  auto message = messages_.Read(v);
  if (!message) return {};
  place_.format = message->second;
  return std::move(message->first);
}

TickOutcome Sequencer::Tick(const SequencerOptions& options, float formWidth, float formHeight,
                            const TestDisplayRequest* test) {
  TickOutcome outcome;
  if (formWidth <= 10 || formHeight <= 10) {
    outcome.skipped = true;
    outcome.interval = options.interval;
    return outcome;
  }
  outcome.interval = options.interval;
  bool invert = false;
  char layout = 'C';
  CardRequest request;
  request.emphasis = options.emphasis;

  if (test) {
    request.text = ExpandKeywords(test->text, options.formalKanji, options.unitYear);
    request.format = test->format;
    request.testDisplay = true;
    std::tie(layout, invert) = TestThumbnail(test->layout);
  } else {
    interval_.ShowIntervalImages();
    ChooseLayoutFlag(options);
    std::wstring text;
    if (options.count > 0) {
      int v = PickMessage(options);
      text = ReadMessage(v);
      if (place_.reread && options.count > 1 && text == place_.lastText) {
        // The rows moved under the sequence: the next one instead.
        v = v % options.count + 1;
        if (options.order == 1) place_.sequentialIndex = v - 1;
        else place_.lastRandomIndex = v;
        text = ReadMessage(v);
      }
      place_.lastText = text;
    } else {
      place_.format.emphasisMarks.clear();  // the other codes of the last message stay
      text = std::wstring(kNoMessagesText);
    }
    place_.reread = false;
    request.text = ExpandKeywords(text, options.formalKanji, options.unitYear);
    request.format = place_.format;
    invert = ChooseInvert(options.scheme);
    const char fixed = place_.format.fixedLayout;
    if (fixed == 'A' || fixed == 'B' || fixed == 'C') {
      layout = fixed;
    } else if (place_.useCentreLayout) {
      layout = 'C';
    } else {
      layout = random_.Rand(2) == 0 ? 'A' : 'B';
    }
  }

  outcome.result = renderer_.Render(layout, request, invert);
  outcome.text = std::move(request.text);
  outcome.drawn = outcome.result == PageResult::kDrawn;
  outcome.creditVisible = test ? !test->hideCredit : place_.displayTick == 2;

  place_.displayTick = static_cast<std::int16_t>(place_.displayTick + 1 >= 3 ? 0 : place_.displayTick + 1);
  ++place_.sequentialIndex;
  if (place_.sequentialIndex > options.count - 1) place_.sequentialIndex = 0;
  frame_.displayTick = place_.displayTick;
  return outcome;
}

PageResult TitleCardRenderer::Render(char layout, const CardRequest& request, bool& invertColours) {
  GlyphDrawer drawer(*surface_, draw.decorationStyle, draw.typeFace, draw.boldType);
  PageFrame frame(*surface_, clock_, pictures_, background, frame_);
  CardContext context{drawer, frame, random_, draw};
  const bool plain = ContainsHalfWidth(request.text);
  switch (layout) {
    case 'A': return plain ? ZOR01b2(context, request, invertColours) : ComposeLTopRight(context, request, invertColours);
    case 'B': return plain ? ZOR00b2(context, request, invertColours) : ComposeLBottomLeft(context, request, invertColours);
    default: return plain ? DrawCentred(context, request, invertColours) : ComposeCentred(context, request, invertColours);
  }
}

}  // namespace zor
