// The screen's held picture: the last picture loaded, decoded ahead where
// asked, and painted in parts onto a GDI image.
#pragma once

#include <windows.h>
#include <wincodec.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/screen/picture_resampling.h"
#include "win/screen/picture_decoder.h"
#include "win/screen/picture_worker.h"

namespace zor::win {

// The last picture loaded, kept as its use needs (see
// DecodePictureFrame); its size is still the file's own.
class HeldPicture {
 public:
  HeldPicture() = default;
  HeldPicture(const HeldPicture&) = delete;
  HeldPicture& operator=(const HeldPicture&) = delete;
  // A decode still running is abandoned, never waited for.
  ~HeldPicture();
  // Reads the file's stamp and decodes it on a thread of its own, waiting by
  // the waiter (see SetWaiter); anything but kLoaded leaves the held picture
  // as it was. The same unchanged file asked for again for the same screen is
  // not decoded again, held now or held not long before. A file prefetched
  // for the same screen is taken from its decode. A read that does not end
  // within the waiter's limit gives kNotReady, and is not waited for again
  // while it runs.
  [[nodiscard]] PictureLoad Load(const std::filesystem::path& file, PixelSize screen, const PictureUse& use = {});
  // How Load waits, and for how long at most (the window's thread answers
  // its messages). Without one, Load waits without a limit.
  void SetWaiter(WorkWaiter* waiter, DWORD limitMs) noexcept {
    waiter_ = waiter;
    limitMs_ = limitMs;
  }
  [[nodiscard]] PictureLoad LoadFrame(IWICImagingFactory* factory, IWICBitmapSource* frame, PixelSize screen,
                                      const PictureUse& use = {});
  // Starts decoding the file on a thread of its own, for a Load to come; a
  // decode started before for another file is abandoned.
  void Prefetch(const std::filesystem::path& file, PixelSize screen, const PictureUse& use = {});
  [[nodiscard]] PixelSize OwnSize() const noexcept { return own_; }
  [[nodiscard]] PixelSize KeptSize() const noexcept { return {kept_.width(), kept_.height()}; }
  [[nodiscard]] bool Empty() const noexcept { return kept_.pixels() == nullptr; }
  // How many pictures were decoded (tests).
  [[nodiscard]] int Decodes() const noexcept { return decodes_; }
  // How many loads were taken from a decode started ahead (tests).
  [[nodiscard]] int TakenAhead() const noexcept { return takenAhead_; }

  // Paints the source rectangle (the file's own pixels) onto the image dc
  // of imageW × imageH pixels at the destination (image pixels, fractions
  // allowed): a plain copy where the sizes agree, otherwise resampled.
  void Paint(HDC dc, int imageW, int imageH, const Rect& source, const Rect& destination);

 private:
  // The file the held picture came from, as it was when loaded, and the
  // screen and use it was made for.
  struct PictureKey {
    std::wstring file;
    std::uint64_t size = 0;
    std::uint64_t written = 0;
    PixelSize screen;
    PictureUse use;
    friend bool operator==(const PictureKey&, const PictureKey&) = default;
  };
  // What a thread of work makes of a file: its key (none: not found), and
  // its picture unless one of the keys held was the same.
  struct Outcome {
    std::optional<PictureKey> key;
    bool heldAlready = false;
    DecodedPicture decoded;
  };
  // The keys held now and before, as the threads of work see them.
  struct HeldKeys {
    std::mutex lock;
    std::vector<PictureKey> keys;
    [[nodiscard]] bool Has(const PictureKey& key) {
      const std::lock_guard<std::mutex> hold(lock);
      return std::find(keys.begin(), keys.end(), key) != keys.end();
    }
  };
  struct Pending {
    std::wstring file;
    PixelSize screen;
    PictureUse use;
    bool ahead = false;
    std::shared_ptr<Work<Outcome>> work;
    [[nodiscard]] bool For(const std::wstring& f, PixelSize s, const PictureUse& u) const {
      return file == f && screen == s && use == u;
    }
  };
  [[nodiscard]] static std::optional<PictureKey> KeyOf(const std::filesystem::path& file, PixelSize screen,
                                                        const PictureUse& use);
  // Starts the work for a file (even when a key held is the same, if force).
  [[nodiscard]] std::optional<Pending> Start(const std::filesystem::path& file, PixelSize screen,
                                             const PictureUse& use, bool ahead, bool force) const;
  void Abandon() noexcept;
  void PublishKeys();
  PictureLoad Adopt(DecodedPicture&& decoded, const PictureKey& key);
  // Pictures held before, the latest first, kept while together they take
  // no more than kEarlierBytes: one asked for again, unchanged and for the
  // same screen, is held again without a decode (a small folder of
  // backgrounds, an interval run that comes round again).
  struct Earlier {
    PictureKey key;
    DibImage kept;
    PixelSize own;
    PixelRect region;
    int keptTop;
    int keptHeight;
  };
  static constexpr std::size_t kEarlierBytes = 32u << 20;
  // The held picture, when it came from a file, goes to the earlier ones.
  void Retire();
  // Holds the picture (decoded or earlier), from the file of the key (none: not known).
  template <class Picture>
  void Hold(Picture&& picture, const PictureKey& key);
  std::deque<Earlier> earlier_;

  PictureKey held_;
  std::optional<Pending> pending_;
  // Reads that ran out of time, set aside when another file was asked for:
  // asked for again, they are not started (nor waited for) afresh.
  std::deque<Pending> stuck_;
  static constexpr std::size_t kStuckKept = 4;
  std::shared_ptr<HeldKeys> heldKeys_ = std::make_shared<HeldKeys>();
  WorkWaiter* waiter_ = nullptr;
  DWORD limitMs_ = INFINITE;
  int decodes_ = 0;
  int takenAhead_ = 0;
  PixelSize own_;
  PixelRect region_;
  DibImage kept_;
  int keptTop_ = 0;     // the row of the kept size kept_ starts at
  int keptHeight_ = 0;  // the rows of the kept size in all
  // The last resampled piece, reused while the same piece is asked for (tiles).
  DibImage piece_;
  Rect pieceSource_;
  PixelSize pieceSize_;
};

}  // namespace zor::win
