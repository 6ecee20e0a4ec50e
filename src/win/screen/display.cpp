#include "win/screen/display.h"

#include <filesystem>
#include <optional>
#include <random>
#include <system_error>

#include "core/data/file_system.h"
#include "core/data/held_messages.h"
#include "core/data/registration_file.h"
#include "core/data/settings.h"
#include "core/data/settings_file.h"
#include "core/screen/background.h"
#include "core/screen/interval_images.h"
#include "core/screen/saver_options.h"
#include "core/screen/sequencer.h"
#include "win/common/diagnostics.h"
#include "win/common/palette_colours.h"
#include "win/common/system.h"
#include "win/screen/folder_lists.h"
#include "win/screen/gdi_surface.h"
#include "win/screen/preview_pages.h"
#include "win/screen/rehearsal_surface.h"

namespace zor::win {

namespace {

// The process-wide generator: seeded from the clock when the program starts
// and again when the form loads.
class ProcessRandom final : public RandomSource {
 public:
  [[nodiscard]] int Rand(int n) override {
    if (n < 1) return 0;
    return std::uniform_int_distribution<int>(0, n - 1)(engine_);
  }
  void Seed() {
    engine_.seed(static_cast<std::mt19937::result_type>(GetTickCount64() * 2654435761u ^ GetCurrentProcessId()));
  }

 private:
  std::mt19937 engine_;
};

ProcessRandom& Random() {
  static ProcessRandom random;
  return random;
}

// The registration file's messages, held so that a file that vanishes or
// breaks while the saver runs leaves them shown.
class FileMessages final : public MessageSource {
 public:
  HeldMessages held;
  [[nodiscard]] std::optional<std::pair<std::wstring, CurrentFormat>> Read(int v) override {
    const Message* message = held.At(v);
    if (!message) return std::nullopt;
    return std::make_pair(message->text, FormatOfRecord(message->format));
  }
};

class FormClock final : public Clock {
 public:
  explicit FormClock(ScreenForm& form) : form_(form) {}
  [[nodiscard]] std::int32_t TickCount() override { return static_cast<std::int32_t>(GetTickCount()); }
  void Wait(std::int32_t ms) override {
    if (ms > 0) (void)form_.Wait(static_cast<DWORD>(ms));
  }

 private:
  ScreenForm& form_;
};

// A rehearsal's time: every wait passes at once, so the page's pauses
// between characters end as they would, without waiting.
class PassingClock final : public Clock {
 public:
  [[nodiscard]] std::int32_t TickCount() override { return now_; }
  void Wait(std::int32_t ms) override { now_ += std::max(ms, 1); }

 private:
  std::int32_t now_ = 0;
};

class FormHost final : public SurfaceHost {
 public:
  explicit FormHost(ScreenForm& form) : form_(form) {}
  [[nodiscard]] PointSize CreditLabelSize() const override {
    return form_.CreditSize();
  }
  void PlaceCreditLabel(float left, float top, Rgb colour) override {
    CreditLabel& label = form_.Credit();
    label.left = left;
    label.top = top;
    label.colour = ToColorRef(colour);
  }
  void Refresh(std::span<const PixelRect> changed) override { form_.Present(changed); }
  [[nodiscard]] bool RefreshOnGround(Rgb ground, std::span<const PixelRect> drawn) override {
    form_.PresentOnGround(ToColorRef(ground), drawn);
    return true;
  }
  [[nodiscard]] HDC SecondImage() override { return form_.Images().SecondDc(); }
  void ShowImage(HDC image) override { form_.Images().Show(image); }
  void ReportMissingFace(std::wstring_view message) override {
    ShowError(form_.hwnd(), message);
    form_.End();
  }

 private:
  ScreenForm& form_;
};

// The display timer and the form as an interval run sees them.
class FormIntervalHost final : public IntervalHost {
 public:
  FormIntervalHost(ScreenForm& form, const SequencerOptions& options) : form_(form), options_(options) {}
  [[nodiscard]] std::int32_t TimerInterval() override { return options_.interval; }
  void StopTimer() override { form_.SetTimerInterval(0); }
  void RestartTimer() override { form_.SetTimerInterval(static_cast<UINT>(std::max<std::int16_t>(options_.interval, 0))); }
  [[nodiscard]] bool Closed() override { return form_.Closing(); }

 private:
  ScreenForm& form_;
  const SequencerOptions& options_;
};

class DisplayController final : public ScreenController {
 public:
  explicit DisplayController(std::filesystem::path programFolder) : folder_(std::move(programFolder)) {}

  bool LoadData(ScreenForm& form) override {
    Random().Seed();
    shownLog_ = ShownLog::FromEnvironment();
    if (form.Mode() == ScreenMode::kPreview) previewPages_ = PreviewPages::FromEnvironment();
    frame_ = FrameState{};
    frame_.intervalJustShown = true;
    SettingsFileStore store(SettingsFilePath(folder_));
    settings_ = LoadSettings(store, folder_);
    const Settings& settings = settings_;
    const std::filesystem::path& file = settings.registrationFile;
    const bool preview = form.Mode() == ScreenMode::kPreview;
    // The test display's messages belong to the settings dialog it returns to.
    HWND owner = form.Mode() == ScreenMode::kTestDisplay ? form.Options().owner : form.hwnd();

    RegistrationHeader header;
    header.count = 0;
    header.options.interval = 0;
    if (FileExists(file)) {
      Result<RegistrationHeader> valid = ValidateRegistrationFile(file);
      if (!valid.ok()) {
        ShowWarning(preview ? nullptr : owner, valid.status().message());
        return false;
      }
      header = valid.value();
    } else if (!preview) {
      ShowWarning(owner, MissingFileMessage(settings.registrationFile));
      return false;
    }

    (void)messages_.held.Load(file);
    if (messages_.held.Loaded()) header = messages_.held.Header();
    const SaverOptions options = SaverOptionsOf(header, settings);
    options_ = options.sequence;
    // Records the count claims but the file does not hold are not read.
    options_.count = messages_.held.Count();
    pictureSettings_ = options.pictures;
    // Folders and pictures are read off the window's thread; a page waits
    // for them answering its messages, and goes on without them in the end.
    folders_.SetWaiter(&form, kPictureWaitMs);
    host_ = std::make_unique<FormHost>(form);
    clock_ = std::make_unique<FormClock>(form);
    intervalHost_ = std::make_unique<FormIntervalHost>(form, options_);
    GdiSurface& page = surface(form);
    pictures_ = std::make_unique<BackgroundPainter>(page, Random(), folders_, pictureSettings_, preview);
    interval_ = std::make_unique<IntervalPictureRun>(page, *clock_, Random(), folders_, pictureSettings_, frame_,
                                                     *intervalHost_, preview);
    renderer_ = std::make_unique<TitleCardRenderer>(page, *clock_, *pictures_, Random(), frame_);
    renderer_->draw = options.draw;
    renderer_->background = pictureSettings_.frame;
    sequencer_ = std::make_unique<Sequencer>(messages_, *renderer_, *interval_, Random(), frame_);
    form.SetTimerInterval(static_cast<UINT>(std::max<std::int16_t>(options_.interval, 0)));
    return true;
  }

  void Tick(ScreenForm& form) override {
    if (form.PixelWidth() <= 10 || form.PixelHeight() <= 10) return;
    form.CountTick();
    form.Credit().visible = false;
    const TestDisplayRequest* test = form.Mode() == ScreenMode::kTestDisplay ? &form.Options().test : nullptr;
    if (!test) FollowTheFile();
    const TickOutcome outcome =
        sequencer_->Tick(options_, surface(form).ScaleWidth(), surface(form).ScaleHeight(), test);
    if (shownLog_ && outcome.drawn && !test) (void)shownLog_->Append(outcome.text);
    if (form.Closing()) return;
    form.SetTimerInterval(static_cast<UINT>(std::max<std::int16_t>(outcome.interval, 0)));
    form.Credit().visible = outcome.creditVisible;
    // What the page left unshown, and the label where it changed.
    surface(form).Refresh();
    if (previewPages_ && outcome.drawn && form.CopyAsShown(previewPage_)) {
      const int w = previewPage_.width();
      (void)previewPages_->Write({previewPage_.pixels(), w, w, previewPage_.height()});
    }
  }

  // The next tick tried ahead on copies of the random engine, the frame and
  // the sequencer's place, drawn nowhere: its fonts, glyphs, kept prints and
  // stamps are made now. Interval pictures and backgrounds are left out;
  // where their draws come first the guess is wrong, and costs only this.
  void Rehearse(ScreenForm& form) override {
    if (!sequencer_ || !renderer_ || form.Mode() != ScreenMode::kSaver || form.Closing()) return;
    if (form.PixelWidth() <= 10 || form.PixelHeight() <= 10) return;
    GdiSurface& page = surface(form);
    ProcessRandom random = Random();
    FrameState frame = frame_;
    PassingClock clock;
    NoBackground pictures;
    NoIntervalImages interval;
    RehearsalSurface rehearsal(page);
    TitleCardRenderer renderer(rehearsal, clock, pictures, random, frame);
    renderer.draw = renderer_->draw;
    renderer.background = renderer_->background;
    Sequencer next(*sequencer_, messages_, renderer, interval, random, frame);
    (void)next.Tick(options_, rehearsal.ScaleWidth(), rehearsal.ScaleHeight());
  }

 private:
  // Between pages: a registration file changed since it was read is read
  // again, its header's options with it. One look at its stamp when it did not.
  void FollowTheFile() {
    if (messages_.held.Refresh() != HeldMessages::Check::kReread) return;
    options_ = SaverOptionsOf(messages_.held.Header(), settings_).sequence;
    options_.count = messages_.held.Count();
    sequencer_->MessagesReread();
  }

  // The surface follows the form's image, which changes with the form's size.
  GdiSurface& surface(ScreenForm& form) {
    if (!surface_ || surfaceDc_ != form.ImageDc() || surfaceW_ != form.PixelWidth() ||
        surfaceH_ != form.PixelHeight()) {
      auto remade = std::make_unique<GdiSurface>(form.ImageDc(), form.PixelWidth(), form.PixelHeight(),
                                                 form.TwipsPerPixelX(), form.TwipsPerPixelY(), *host_);
      if (surface_) remade->SharePicture(*surface_);
      surface_ = std::move(remade);
      surface_->Picture().SetWaiter(&form, kPictureWaitMs);
      surfaceDc_ = form.ImageDc();
      surfaceW_ = form.PixelWidth();
      surfaceH_ = form.PixelHeight();
      if (renderer_) renderer_->Rebind(*surface_);
      if (pictures_) pictures_->Rebind(*surface_);
      if (interval_) interval_->Rebind(*surface_);
    }
    return *surface_;
  }

  std::filesystem::path folder_;
  Settings settings_;
  SequencerOptions options_;
  FrameState frame_;
  FileMessages messages_;
  PictureSettings pictureSettings_;
  FolderLists folders_;
  std::unique_ptr<BackgroundPainter> pictures_;
  std::unique_ptr<IntervalPictureRun> interval_;
  std::unique_ptr<FormIntervalHost> intervalHost_;
  std::unique_ptr<FormHost> host_;
  std::unique_ptr<FormClock> clock_;
  std::unique_ptr<GdiSurface> surface_;
  HDC surfaceDc_ = nullptr;
  int surfaceW_ = 0;
  int surfaceH_ = 0;
  std::unique_ptr<TitleCardRenderer> renderer_;
  std::unique_ptr<Sequencer> sequencer_;
  std::unique_ptr<ShownLog> shownLog_;
  std::unique_ptr<PreviewPages> previewPages_;  // the preview only, when the environment asks
  DibImage previewPage_;                        // the page as shown, for previewPages_
};

}  // namespace

void SeedRandom() { Random().Seed(); }

std::unique_ptr<ScreenController> MakeDisplayController(const std::filesystem::path& programFolder) {
  return std::make_unique<DisplayController>(programFolder);
}

}  // namespace zor::win
