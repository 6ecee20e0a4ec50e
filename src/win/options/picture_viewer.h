// The picture viewer VIEW, and the fitted picture it shares with the
// chooser's preview: a file decoded no larger than a box needs, painted
// within the box with its aspect kept.
#pragma once

#include <windows.h>

#include <filesystem>
#include <memory>
#include <string>

#include "win/common/dialog.h"
#include "win/common/dialog_services.h"
#include "win/screen/picture_decoder.h"
#include "win/screen/picture_worker.h"

namespace zor::win {

// The size a picture of own size takes within box: its own when it fits,
// else scaled down with its aspect kept (never below a pixel).
[[nodiscard]] PixelSize FitWithin(PixelSize own, PixelSize box) noexcept;

// What a failed load tells the user, with the file's path.
[[nodiscard]] std::wstring PictureLoadMessage(PictureLoad why, const std::filesystem::path& file);

class FittedPicture {
 public:
  FittedPicture() = default;
  FittedPicture(const FittedPicture&) = delete;
  FittedPicture& operator=(const FittedPicture&) = delete;
  ~FittedPicture() { Clear(); }
  // Decodes the file for a box of that size (bounded as the screen's
  // pictures are) and waits for it; anything but kLoaded leaves the picture
  // empty.
  [[nodiscard]] PictureLoad Load(const std::filesystem::path& file, PixelSize box);
  // The same on a thread of work, the picture empty meanwhile: notify is
  // posted msg when the decode ends, and Take then holds its picture. A
  // decode started before is abandoned.
  void Start(const std::filesystem::path& file, PixelSize box, HWND notify = nullptr, UINT msg = 0);
  // Holds the decode started if it ended and gives its result; kNotReady
  // while it runs, and for nothing started.
  [[nodiscard]] PictureLoad Take();
  [[nodiscard]] bool Reading() const noexcept { return work_ != nullptr; }
  // Signalled when the decode started ends (null: none runs).
  [[nodiscard]] HANDLE ReadEnded() const noexcept { return work_ ? work_->Done() : nullptr; }
  void Clear() {
    if (work_) work_->Abandon();
    work_.reset();
    picture_ = DecodedPicture();
  }
  [[nodiscard]] bool Empty() const noexcept { return picture_.result != PictureLoad::kLoaded; }
  [[nodiscard]] PixelSize OwnSize() const noexcept { return picture_.own; }
  // Paints the picture fitted into r, centred; the rest of r is left alone.
  void Paint(HDC dc, const RECT& r) const;

 private:
  DecodedPicture picture_;
  std::shared_ptr<Work<DecodedPicture>> work_;
};

class PictureViewer final : public Dialog {
 public:
  PictureViewer();

  // Loads the picture before the window is shown: a picture larger than the
  // work area is shown scaled down to fit it.
  [[nodiscard]] PictureLoad Load(const std::filesystem::path& file);
  // Starts the decode; Wait waits for it to end within ms, answering the
  // thread's messages. kNotReady while it runs: the window then opens empty,
  // takes the picture's size when it comes, and closes on a failure.
  void Start(const std::filesystem::path& file);
  [[nodiscard]] PictureLoad Wait(DWORD ms);
  // The outcome: kNotReady when the window closed before the decode ended.
  [[nodiscard]] PictureLoad Outcome() const noexcept { return outcome_; }
  // The client size the window takes.
  [[nodiscard]] PixelSize ShownSize() const noexcept { return shown_; }

 protected:
  bool OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

 private:
  void FitWindow();
  PictureLoad Settle(PictureLoad outcome);
  FittedPicture picture_;
  PixelSize area_;
  PixelSize shown_;
  PictureLoad outcome_ = PictureLoad::kNotReady;
};

// The picture viewer of file over owner: the picture is decoded first (with
// the wait cursor); one that cannot be shown is reported instead. Gives the
// outcome of the decoding.
PictureLoad ShowPictureViewer(DialogServices& services, HWND owner, const std::filesystem::path& file);

}  // namespace zor::win
