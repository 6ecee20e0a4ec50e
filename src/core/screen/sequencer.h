// The display sequencer: one message per tick, picked in registration order
// or at random, keywords expanded, colour scheme and layout chosen, handed
// to one of the six title-card renderers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/data/message_format.h"
#include "core/screen/card_inputs.h"
#include "core/screen/page_frame.h"
#include "core/screen/surface.h"

namespace zor {

inline constexpr std::wstring_view kNoMessagesText = L"文章データが未登録です。";

// The registration file as the sequencer reads it.
class MessageSource {
 public:
  virtual ~MessageSource() = default;
  // Message v (1-based): its trimmed text and format; nullopt when the record
  // is missing (read as blank text with the previous format).
  [[nodiscard]] virtual std::optional<std::pair<std::wstring, CurrentFormat>> Read(int v) = 0;
};

// Draws one page: layout 'A', 'B' or 'C'; the text decides plain or
// per-character drawing.
class CardRenderer {
 public:
  virtual ~CardRenderer() = default;
  [[nodiscard]] virtual PageResult Render(char layout, const CardRequest& request, bool& invertColours) = 0;
};

// The interval images' turn before each normal tick.
class IntervalImages {
 public:
  virtual ~IntervalImages() = default;
  virtual void ShowIntervalImages() = 0;
};

class NoIntervalImages final : public IntervalImages {
 public:
  void ShowIntervalImages() override {}
};

// Header copies and settings the sequencer reads.
struct SequencerOptions {
  int count = 0;                 // messages (already capped at the records present)
  std::int16_t interval = 0;     // ms; 0 stops the timer
  std::int16_t scheme = 0;       // 0 black ground, 1 white, 2 either, 3 white one time in three
  std::int16_t order = 0;        // 0 random, 1 registration order
  std::int16_t layout = 0;       // 0 L-shaped, 1 centred, 2 either
  EmphasisOptions emphasis;
  bool formalKanji = false;             // formal numerals
  bool unitYear = false;         // "Seireki" 1
  std::int16_t backgroundMode = 0;
  std::int16_t intervalMode = 0;
};

// The settings dialog's test display: one message, one thumbnail.
struct TestDisplayRequest {
  std::wstring text;      // trimmed
  CurrentFormat format;
  int layout = 0;         // thumbnail 0..5
  bool hideCredit = false;
};

// What the form does after a tick.
struct TickOutcome {
  bool skipped = false;        // size guard: nothing happened
  std::int16_t interval = 0;   // the display timer's interval from now on
  bool creditVisible = false;
  bool drawn = false;          // a renderer ran to its end
  PageResult result = PageResult::kDrawn;
  std::wstring text;  // the text the page was asked to show (keywords expanded)
};

// The format bytes of a stored message as the renderers take them.
[[nodiscard]] CurrentFormat FormatOfRecord(const MessageFormat& stored);

// Thumbnail 0..5: layout letter and ground (true = black type on white).
[[nodiscard]] std::pair<char, bool> TestThumbnail(int index) noexcept;

// "\date" and "\time" (in any letter case) as a whole message become the date
// or time in kanji; anything else stays as written.
[[nodiscard]] std::wstring ExpandKeywords(const std::wstring& text, bool formal, bool unitYear,
                                          std::wstring_view date = {}, std::wstring_view time = {});

class Sequencer {
 public:
  Sequencer(MessageSource& messages, CardRenderer& renderer, IntervalImages& interval, RandomSource& random,
            FrameState& frame)
      : messages_(messages), renderer_(renderer), interval_(interval), random_(random), frame_(frame) {}
  // A sequencer that goes on from where another stands, with parts of its
  // own: the next tick tried ahead (random and frame copies) leaves the
  // other as it was.
  Sequencer(const Sequencer& from, MessageSource& messages, CardRenderer& renderer, IntervalImages& interval,
            RandomSource& random, FrameState& frame)
      : messages_(messages),
        renderer_(renderer),
        interval_(interval),
        random_(random),
        frame_(frame),
        place_(from.place_) {}

  // One tick on a form of the given size (points); test is set in the test display.
  [[nodiscard]] TickOutcome Tick(const SequencerOptions& options, float formWidth, float formHeight,
                                 const TestDisplayRequest* test = nullptr);

  [[nodiscard]] std::int16_t DisplayTick() const noexcept { return place_.displayTick; }
  [[nodiscard]] int SequentialIndex() const noexcept { return place_.sequentialIndex; }
  [[nodiscard]] int LastRandomIndex() const noexcept { return place_.lastRandomIndex; }
  [[nodiscard]] bool UseCentreLayout() const noexcept { return place_.useCentreLayout; }
  [[nodiscard]] const CurrentFormat& Format() const noexcept { return place_.format; }

  // The messages were read again (the file changed): the next pick skips a
  // message whose text is the one shown last, so the re-read never shows a
  // message twice in a row.
  void MessagesReread() noexcept { place_.reread = true; }

 private:
  [[nodiscard]] int PickMessage(const SequencerOptions& options);
  // Message v's text and format; a missing record reads as blank text.
  [[nodiscard]] std::wstring ReadMessage(int v);
  void ChooseLayoutFlag(const SequencerOptions& options);
  [[nodiscard]] bool ChooseInvert(std::int16_t scheme);

  MessageSource& messages_;
  CardRenderer& renderer_;
  IntervalImages& interval_;
  RandomSource& random_;
  FrameState& frame_;
  // Where the sequence stands: all a sequencer going on from another copies.
  struct Place {
    std::int16_t displayTick = 0;
    int sequentialIndex = 0;
    int lastRandomIndex = 0;
    bool useCentreLayout = false;
    CurrentFormat format;
    std::wstring lastText;  // of the message last picked, as stored
    bool reread = false;
  };
  Place place_;
};

// The six renderers behind one call, each page with its own frame and glyph
// drawer on the given surface.
class TitleCardRenderer final : public CardRenderer {
 public:
  TitleCardRenderer(Surface& surface, Clock& clock, BackgroundPictures& pictures, RandomSource& random,
                    FrameState& frame)
      : surface_(&surface), clock_(clock), pictures_(pictures), random_(random), frame_(frame) {}

  DrawSettings draw;
  BackgroundSettings background;

  [[nodiscard]] PageResult Render(char layout, const CardRequest& request, bool& invertColours) override;

  // Draws on another surface from now on (the form's image was remade).
  void Rebind(Surface& surface) noexcept { surface_ = &surface; }

 private:
  Surface* surface_;
  Clock& clock_;
  BackgroundPictures& pictures_;
  RandomSource& random_;
  FrameState& frame_;
};

}  // namespace zor
