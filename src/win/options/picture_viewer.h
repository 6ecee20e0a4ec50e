// The picture viewer VIEW, and the fitted picture it shares with the
// chooser's preview: a file decoded no larger than a box needs, painted
// within the box with its aspect kept.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

#include "win/common/dialog.h"
#include "win/common/dialog_services.h"
#include "win/screen/picture_decoder.h"

namespace zor::win {

// The size a picture of own size takes within box: its own when it fits,
// else scaled down with its aspect kept (never below a pixel).
[[nodiscard]] PixelSize FitWithin(PixelSize own, PixelSize box) noexcept;

// What a failed load tells the user, with the file's path.
[[nodiscard]] std::wstring PictureLoadMessage(PictureLoad why, const std::filesystem::path& file);

class FittedPicture {
 public:
  // Decodes the file for a box of that size (bounded as the screen's
  // pictures are); anything but kLoaded leaves the picture empty.
  [[nodiscard]] PictureLoad Load(const std::filesystem::path& file, PixelSize box);
  void Clear() { picture_ = DecodedPicture(); }
  [[nodiscard]] bool Empty() const noexcept { return picture_.result != PictureLoad::kLoaded; }
  [[nodiscard]] PixelSize OwnSize() const noexcept { return picture_.own; }
  // Paints the picture fitted into r, centred; the rest of r is left alone.
  void Paint(HDC dc, const RECT& r) const;

 private:
  DecodedPicture picture_;
};

class PictureViewer final : public Dialog {
 public:
  PictureViewer();

  // Loads the picture before the window is shown: a picture larger than the
  // work area is shown scaled down to fit it.
  [[nodiscard]] PictureLoad Load(const std::filesystem::path& file);
  // The client size the window takes.
  [[nodiscard]] PixelSize ShownSize() const noexcept { return shown_; }

 protected:
  bool OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

 private:
  FittedPicture picture_;
  PixelSize shown_;
};

// The picture viewer of file over owner: the picture is decoded first (with
// the wait cursor); one that cannot be shown is reported instead. Gives the
// outcome of the decoding.
PictureLoad ShowPictureViewer(DialogServices& services, HWND owner, const std::filesystem::path& file);

}  // namespace zor::win
