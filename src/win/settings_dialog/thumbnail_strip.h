// The strip of six layout thumbnails under the message list: its caption and
// pictures shown while a row is selected, the pictures drawn for that
// message once the selection has settled, and a click on one showing the
// message full screen in its layout.
#pragma once

#include <windows.h>

#include <array>
#include <functional>

#include "core/data/settings.h"
#include "core/data/status.h"
#include "core/screen/sequencer.h"
#include "core/settings_dialog/list_editor.h"
#include "win/common/handles.h"
#include "win/common/picture_choices.h"
#include "win/settings_dialog/thumbnails.h"

namespace zor::win {

// What a click on thumbnail index asks for the selected message (right
// button: without the credit line); refused like an edit when the file changed.
[[nodiscard]] Result<TestDisplayRequest> TestDisplayRequestFor(ListEditor& editor, int index, bool rightButton);

class ThumbnailStrip {
 public:
  using Clicked = std::function<void(int index, bool rightButton)>;

  // The pictures show editor's selected message in the face and decoration
  // of settings (both read when the pictures are drawn).
  ThumbnailStrip(ListEditor& editor, const Settings& settings) : editor_(editor), settings_(settings) {}
  ThumbnailStrip(const ThumbnailStrip&) = delete;
  ThumbnailStrip& operator=(const ThumbnailStrip&) = delete;

  // The strip's controls are the settings dialog's caption and pictures; a
  // click on a picture calls clicked, and so do Space (as the left button)
  // and Shift+Space (as the right one) on the focused picture.
  void Attach(HWND dialog, Clicked clicked);
  // Shows or hides the caption and the six pictures at once (one repaint);
  // shown, the pictures are drawn after a pause, hidden, they are dropped.
  void Show(bool visible);
  // Draws the pictures again after a pause, while they are shown.
  void Refresh();
  // Draws pending pictures now instead of after the pause.
  void Flush();
  [[nodiscard]] HBITMAP Thumbnail(int index) const noexcept;

  // The pictures' WM_DRAWITEM, the pause's timer and DPI changes; true
  // when the message was the strip's alone.
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);

 private:
  void Schedule();
  void Draw();
  void Paint(const DRAWITEMSTRUCT& item);
  static LRESULT CALLBACK PictureProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self) noexcept;

  ListEditor& editor_;
  const Settings& settings_;
  HWND dialog_ = nullptr;
  Clicked clicked_;
  std::array<UniqueBitmap, kThumbnailCount> thumbnails_;
  bool pending_ = false;
  PictureChoices keys_;
};

}  // namespace zor::win
