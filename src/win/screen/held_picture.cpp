#include "win/screen/held_picture.h"

#include <algorithm>
#include <cmath>

namespace zor::win {

std::optional<HeldPicture::PictureKey> HeldPicture::KeyOf(const std::filesystem::path& file, PixelSize screen,
                                                          const PictureUse& use) {
  WIN32_FILE_ATTRIBUTE_DATA info{};
  if (!GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &info)) return std::nullopt;
  return PictureKey{file.native(), static_cast<std::uint64_t>(info.nFileSizeHigh) << 32 | info.nFileSizeLow,
                    static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32 |
                        info.ftLastWriteTime.dwLowDateTime,
                    screen, use};
}

template <class Picture>
void HeldPicture::Hold(Picture&& picture, const PictureKey& key) {
  kept_ = std::move(picture.kept);
  own_ = picture.own;
  region_ = picture.region;
  keptTop_ = picture.keptTop;
  keptHeight_ = picture.keptHeight;
  held_ = key;
  piece_.Reset();
  pieceSize_ = {};
  PublishKeys();
}

void HeldPicture::PublishKeys() {
  std::vector<PictureKey> keys;
  if (!Empty() && !held_.file.empty()) keys.push_back(held_);
  for (const Earlier& e : earlier_) keys.push_back(e.key);
  const std::lock_guard<std::mutex> hold(heldKeys_->lock);
  heldKeys_->keys = std::move(keys);
}

std::optional<HeldPicture::Pending> HeldPicture::Start(const std::filesystem::path& file, PixelSize screen,
                                                       const PictureUse& use, bool ahead, bool force) const {
  // The thread reads the stamp and the picture; the holder's keys tell it
  // when the decode is not needed.
  auto work = StartWork([file, screen, use, force, keys = heldKeys_](const std::atomic<bool>& wanted) {
    Outcome outcome;
    outcome.key = KeyOf(file, screen, use);
    if (!outcome.key) return outcome;
    if (!force && keys->Has(*outcome.key)) {
      outcome.heldAlready = true;
      return outcome;
    }
    outcome.decoded = DecodePictureFile(file, screen, use, &wanted);
    return outcome;
  });
  if (!work) return std::nullopt;
  return Pending{file.native(), screen, use, ahead, std::move(work)};
}

void HeldPicture::Abandon() noexcept {
  if (pending_ && pending_->work && pending_->work->waitedOut && !pending_->work->Ended()) {
    try {
      stuck_.push_front(std::move(*pending_));
      if (stuck_.size() > kStuckKept) {
        stuck_.back().work->Abandon();
        stuck_.pop_back();
      }
      pending_.reset();
      return;
    } catch (...) {
    }
  }
  if (pending_ && pending_->work) pending_->work->Abandon();
  pending_.reset();
}

HeldPicture::~HeldPicture() {
  Abandon();
  for (Pending& p : stuck_) p.work->Abandon();
}

PictureLoad HeldPicture::Load(const std::filesystem::path& file, PixelSize screen, const PictureUse& use) {
  for (bool force = false;; force = true) {
    if (!(pending_ && pending_->For(file.native(), screen, use))) {
      Abandon();
      const auto stuck = std::find_if(stuck_.begin(), stuck_.end(),
                                      [&](const Pending& p) { return p.For(file.native(), screen, use); });
      if (stuck != stuck_.end()) {
        pending_ = std::move(*stuck);
        stuck_.erase(stuck);
      } else {
        pending_ = Start(file, screen, use, false, force);
      }
      if (!pending_) return PictureLoad::kUnreadable;  // no thread: too many reads hang
    }
    Work<Outcome>& work = *pending_->work;
    if (!work.Ended()) {
      // A read that ran out of time once is not waited for on every page.
      if (work.waitedOut) return PictureLoad::kNotReady;
      PlainWaiter plain;
      if (!(waiter_ ? waiter_ : &plain)->WaitFor(work.Done(), waiter_ ? limitMs_ : INFINITE)) {
        // The wait may have been given up because the form closed.
        if (!work.Ended()) {
          work.waitedOut = true;
          return PictureLoad::kNotReady;
        }
      }
    }
    const bool ahead = pending_->ahead;
    const std::shared_ptr<Work<Outcome>> done = std::move(pending_->work);
    pending_.reset();
    Outcome& outcome = done->Result();
    if (!outcome.key) return outcome.decoded.result == PictureLoad::kLoaded ? PictureLoad::kUnreadable
                                                                             : outcome.decoded.result;
    const PictureKey& key = *outcome.key;
    // Decoded ahead: taken only if the file is still as it was when the decode read it.
    if (ahead) {
      auto stamp = StartWork([file, screen, use](const std::atomic<bool>&) { return KeyOf(file, screen, use); });
      if (!stamp) return PictureLoad::kUnreadable;
      PlainWaiter plain;
      if (!stamp->Ended() && !(waiter_ ? waiter_ : &plain)->WaitFor(stamp->Done(), waiter_ ? limitMs_ : INFINITE) &&
          !stamp->Ended()) {
        return PictureLoad::kNotReady;
      }
      if (stamp->Result() != outcome.key) continue;  // changed since: decoded afresh
      ++takenAhead_;
    }
    // The same unchanged file for the same screen is already held.
    if (!Empty() && held_ == key) return PictureLoad::kLoaded;
    const auto before = std::find_if(earlier_.begin(), earlier_.end(), [&](const Earlier& e) { return e.key == key; });
    if (before != earlier_.end()) {
      Earlier again = std::move(*before);
      earlier_.erase(before);
      Retire();
      Hold(std::move(again), again.key);
      return PictureLoad::kLoaded;
    }
    // Held when the thread looked, gone since: decoded after all.
    if (outcome.heldAlready) continue;
    return Adopt(std::move(outcome.decoded), key);
  }
}

PictureLoad HeldPicture::LoadFrame(IWICImagingFactory* factory, IWICBitmapSource* frame, PixelSize screen,
                                   const PictureUse& use) {
  return Adopt(DecodePictureFrame(factory, frame, screen, use), PictureKey{});
}

void HeldPicture::Retire() {
  if (Empty() || held_.file.empty()) return;
  earlier_.push_front(Earlier{held_, std::move(kept_), own_, region_, keptTop_, keptHeight_});
  std::size_t bytes = 0;
  for (auto e = earlier_.begin(); e != earlier_.end(); ++e) {
    bytes += static_cast<std::size_t>(e->kept.width()) * static_cast<std::size_t>(e->kept.height()) * 4;
    if (bytes > kEarlierBytes) {
      earlier_.erase(e, earlier_.end());
      break;
    }
  }
  held_ = {};
}

PictureLoad HeldPicture::Adopt(DecodedPicture&& decoded, const PictureKey& key) {
  if (decoded.result != PictureLoad::kLoaded) return decoded.result;
  Retire();
  Hold(std::move(decoded), key);
  ++decodes_;
  return PictureLoad::kLoaded;
}

void HeldPicture::Prefetch(const std::filesystem::path& file, PixelSize screen, const PictureUse& use) {
  if (pending_ && pending_->For(file.native(), screen, use)) return;
  // A decode no longer wanted stops at its next rows and lets its memory go.
  Abandon();
  const auto stuck =
      std::find_if(stuck_.begin(), stuck_.end(), [&](const Pending& p) { return p.For(file.native(), screen, use); });
  if (stuck != stuck_.end()) {
    pending_ = std::move(*stuck);
    stuck_.erase(stuck);
    return;
  }
  pending_ = Start(file, screen, use, true, false);
}

void HeldPicture::Paint(HDC dc, int imageW, int imageH, const Rect& source, const Rect& destination) {
  if (Empty() || region_.width() < 1 || region_.height() < 1) return;
  // The source in held pixels: the kept part of the picture, at the kept
  // size, of which the rows from keptTop_ on are held.
  const float sx = static_cast<float>(kept_.width()) / static_cast<float>(region_.width());
  const float sy = static_cast<float>(keptHeight_) / static_cast<float>(region_.height());
  const Rect from{(source.x - static_cast<float>(region_.left)) * sx,
                  (source.y - static_cast<float>(region_.top)) * sy - static_cast<float>(keptTop_), source.width * sx,
                  source.height * sy};
  if (from.width <= 0.0f || from.height <= 0.0f) return;

  // Halves round up, the same way at both edges, so that sizes stay whole.
  const auto round = [](float v) { return static_cast<int>(std::floor(v + 0.5f)); };
  const int left = round(destination.x);
  const int top = round(destination.y);
  const int right = round(destination.x + destination.width);
  const int bottom = round(destination.y + destination.height);
  const int dw = right - left;
  const int dh = bottom - top;
  if (dw < 1 || dh < 1) return;
  const int cl = std::max(0, left);
  const int ct = std::max(0, top);
  const int cr = std::min(imageW, right);
  const int cb = std::min(imageH, bottom);
  if (cr <= cl || cb <= ct) return;

  // Pixel for pixel: a plain copy of what is held of the part in view. A
  // source between pixels, or up to a pixel larger (the held size is rounded
  // up), is taken from the nearest pixels: sharper than blending.
  if (std::fabs(from.width - static_cast<float>(dw)) < 1.0f && std::fabs(from.height - static_cast<float>(dh)) < 1.0f) {
    const int kx = round(from.x) - left;  // the held column at image column 0
    const int ky = round(from.y) - top;
    const int x0 = std::max(cl, -kx);
    const int y0 = std::max(ct, -ky);
    const int x1 = std::min(cr, kept_.width() - kx);
    const int y1 = std::min(cb, kept_.height() - ky);
    if (x1 > x0 && y1 > y0) BitBlt(dc, x0, y0, x1 - x0, y1 - y0, kept_.dc(), x0 + kx, y0 + ky, SRCCOPY);
    return;
  }

  const PixelView view{kept_.pixels(), kept_.width(), kept_.height(), kept_.width()};
  if (static_cast<std::int64_t>(dw) * dh <= static_cast<std::int64_t>(imageW) * imageH) {
    // The whole piece, kept for the next paint of the same piece.
    const PixelSize size{dw, dh};
    if (!(piece_.pixels() && pieceSize_ == size && pieceSource_ == from)) {
      GdiFlush();
      if (!piece_.Create(dw, dh)) return;
      // The source to the nearest whole held pixels.
      const int fx = std::clamp(round(from.x), 0, kept_.width());
      const int fy = std::clamp(round(from.y), 0, kept_.height());
      const int fw = std::min(round(from.x + from.width), kept_.width()) - fx;
      const int fh = std::min(round(from.y + from.height), kept_.height()) - fy;
      if (dw <= fw && dh <= fh) {
        // Held pixels made smaller: averaged down in bands, as when decoding.
        const std::size_t stride = static_cast<std::size_t>(kept_.width()) * 4;
        const auto* first = reinterpret_cast<const std::uint8_t*>(kept_.pixels() + static_cast<std::size_t>(fy) *
                                                                                   static_cast<std::size_t>(kept_.width()) +
                                                                 fx);
        BandedShrinker shrinker({fw, fh}, size, piece_.pixels(), RowLayout::kBgrx32);
        shrinker.AddRows(first, fh, stride);
        shrinker.Finish();
      } else {
        Resample(view, from, dw, dh, {0, 0, dw, dh}, piece_.pixels());
      }
      pieceSize_ = size;
      pieceSource_ = from;
    }
    BitBlt(dc, cl, ct, cr - cl, cb - ct, piece_.dc(), cl - left, ct - top, SRCCOPY);
    return;
  }
  // Larger than the image: only the visible part is computed.
  DibImage part;
  if (!part.Create(cr - cl, cb - ct)) return;
  Resample(view, from, dw, dh, {cl - left, ct - top, cr - left, cb - top}, part.pixels());
  BitBlt(dc, cl, ct, cr - cl, cb - ct, part.dc(), 0, 0, SRCCOPY);
}

}  // namespace zor::win
