// The drawing surface on GDI: a 32-bit memory DIB (the screen form's
// persistent image, or an off-screen page for rendering to a file).
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <set>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/screen/surface.h"
#include "win/common/dib.h"
#include "win/common/handles.h"
#include "win/common/palette_colours.h"
#include "win/screen/held_picture.h"

namespace zor::win {

// What the page's owner supplies besides pixels: the credit label, showing
// the image, and the end after a missing face.
class SurfaceHost {
 public:
  virtual ~SurfaceHost() = default;
  [[nodiscard]] virtual PointSize CreditLabelSize() const = 0;
  virtual void PlaceCreditLabel(float left, float top, Rgb colour) = 0;
  // Shows the image; only the rectangles given (image pixels) changed since
  // the last showing, so only they need to reach the screen.
  virtual void Refresh(std::span<const RECT> changed) = 0;
  // Shows all of the image, which is the plain colour outside the rectangles
  // given (image pixels): the screen may be filled with the colour and only
  // they copied. False where the host shows an image only by copying it;
  // Refresh is then called instead.
  [[nodiscard]] virtual bool RefreshOnGround(Rgb, std::span<const RECT>) { return false; }
  virtual void ReportMissingFace(std::wstring_view message) = 0;
  // A second image of the same size (a memory DC) for a surface whose plain
  // ground changes from page to page: it keeps the other ground, so a page
  // needs no full clear. Made when first asked for; null where there is none.
  [[nodiscard]] virtual HDC SecondImage() { return nullptr; }
  // From now on the image to show is the one in this DC (the first or the
  // second); told before the Refresh that shows it.
  virtual void ShowImage(HDC) {}
};

// An off-screen page: no credit label (hidden), no screen to show it on, and
// a missing face kept as the message to report.
class OffscreenHost final : public SurfaceHost {
 public:
  std::wstring missingFace;
  [[nodiscard]] PointSize CreditLabelSize() const override { return {}; }
  void PlaceCreditLabel(float, float, Rgb) override {}
  void Refresh(std::span<const RECT>) override {}
  void ReportMissingFace(std::wstring_view message) override { missingFace = message; }
};

class GdiSurface final : public Surface {
 public:
  // dc: a memory DC holding the image of width × height pixels.
  GdiSurface(HDC dc, int width, int height, float twipsPerPixelX, float twipsPerPixelY, SurfaceHost& host);

  [[nodiscard]] float ScaleWidth() const override { return static_cast<float>(width_) * tppX_ / 20.0f; }
  [[nodiscard]] float ScaleHeight() const override { return static_cast<float>(height_) * tppY_ / 20.0f; }
  [[nodiscard]] float TwipsPerPixelX() const override { return tppX_; }
  [[nodiscard]] float TwipsPerPixelY() const override { return tppY_; }

  [[nodiscard]] Rgb ForeColour() const override { return fore_; }
  void SetForeColour(Rgb colour) override { fore_ = colour; }
  [[nodiscard]] Rgb BackColour() const override { return back_; }
  void SetBackColour(Rgb colour) override { back_ = colour; }
  void Clear() override;

  [[nodiscard]] bool FaceInstalled(std::wstring_view face) override;
  void ReportMissingFace(std::wstring_view message) override {
    if (!rehearsing_) host_.ReportMissingFace(message);
  }

  void SelectFont(const FontSpec& font) override;
  [[nodiscard]] TextExtent MeasureText(const FontSpec& font, std::wstring_view caption) override;
  void Print(float x, float y, std::wstring_view text) override;
  // Many copies of one text (decorations): the text is rasterised once into
  // a coverage mask, the copies are merged by taking the strongest coverage
  // at each pixel, and the merge is blended onto the image in one pass.
  void PrintCopies(float x, float y, std::wstring_view text, std::span<const Offset> offsets) override;

  [[nodiscard]] bool LoadPicture(const std::filesystem::path& file, const PictureUse& use) override;
  void PrefetchPicture(const std::filesystem::path& file, const PictureUse& use) override;
  [[nodiscard]] PointSize PictureSizePixels() const override;
  void PaintPicture(const Rect& sourcePixels, const Rect& destination) override;

  [[nodiscard]] PointSize CreditLabelSize() const override { return host_.CreditLabelSize(); }
  void PlaceCreditLabel(float left, float top, Rgb colour) override {
    if (!rehearsing_) host_.PlaceCreditLabel(left, top, colour);
  }
  // Hands the host the rectangles changed since the last refresh.
  void Refresh() override;
  // The rectangles changed since the last refresh (image pixels): few,
  // apart, inside the image.
  [[nodiscard]] std::span<const RECT> Changed() const noexcept { return changed_; }

  // The held picture is shared with a surface made before this one (the form's
  // image was remade), so the picture held carries over.
  void SharePicture(const GdiSurface& other) { picture_ = other.picture_; }
  [[nodiscard]] HeldPicture& Picture() noexcept { return *picture_; }

  // Points to the nearest device pixel.
  [[nodiscard]] int PixelX(float points) const noexcept;
  [[nodiscard]] int PixelY(float points) const noexcept;

  // While one lives, the surface rehearses a page ahead of its tick: nothing
  // is drawn, loaded or shown, but the fonts, measures, glyphs and stamps the
  // page asks for are made (stamps blended for the plain ground last cleared
  // to), so that the page itself then finds them. The colours and font
  // selected are as before when it goes.
  class Rehearsal {
   public:
    explicit Rehearsal(GdiSurface& surface);
    ~Rehearsal();
    Rehearsal(const Rehearsal&) = delete;
    Rehearsal& operator=(const Rehearsal&) = delete;

   private:
    GdiSurface& surface_;
    Rgb fore_;
    Rgb back_;
    FontSpec selected_;
    bool hasSelected_;
  };
  [[nodiscard]] bool Rehearsing() const noexcept { return rehearsing_; }

 private:
  bool rehearsing_ = false;
  Rgb rehearsalGround_{0, 0, 0};
  void RehearsePrint(std::wstring_view text);
  // The text printed on the scratch page: the system makes its glyphs.
  void RehearseGlyphs(HFONT font, std::wstring_view text);
  void RehearseCopies(float x, float y, std::wstring_view text, std::span<const Offset> offsets);
  // Where each copy lands relative to (x, y), in whole pixels exactly as its
  // own print would; returns the largest shift along either axis.
  int CopyShifts(float x, float y, std::span<const Offset> offsets, std::vector<POINT>& shifts) const;

  [[nodiscard]] HFONT FontFor(const FontSpec& font);
  // The name the system lists the face under; null when it is not installed.
  [[nodiscard]] const std::wstring* Listed(std::wstring_view face);

  // The image's pixels when the DC holds a 32-bit DIB section, else null.
  [[nodiscard]] std::uint32_t* ImageBits(int& stride);
  [[nodiscard]] std::uint32_t* ReadImageBits(int& stride);
  bool imageChecked_ = false;
  std::uint32_t* imageBits_ = nullptr;
  int imageStride_ = 0;
  // A text as the system printed it in the type colour on a plain ground, at
  // one place: in each row the pixels from the first to the last unlike the
  // ground, and the box that holds them (the whole box the text can cover
  // when there are none), relative to the reference point.
  struct KeptPrint {
    int left = 0;
    int top = 0;
    int w = 0;
    int h = 0;
    struct Run {
      int row;
      int col;
      int length;
      std::size_t first;  // its first pixel in pixels
    };
    std::vector<Run> runs;
    std::vector<std::uint32_t> pixels;
  };
  // The merged coverage of a text's copies, its box relative to the text's
  // reference point, kept for the next drawing of the same text.
  struct Stamp {
    int left = 0;
    int top = 0;
    int w = 0;
    int h = 0;
    std::vector<std::uint8_t> alpha;
    std::vector<std::pair<int, int>> spans;  // first and last inked column of each row
    // The inked pixels row by row, as runs of full or of partial coverage.
    struct Run {
      int row;
      int col;
      int length;
      bool solid;
    };
    std::vector<Run> runs;
    void AddRuns(int row, const std::uint8_t* coverage, int from, int to);
    // The merge blended onto plain grounds, per type and ground colour.
    mutable std::vector<std::pair<std::pair<COLORREF, COLORREF>, KeptPrint>> onGround;
  };
  struct StampKey {
    std::uintptr_t font;
    std::wstring text;
    std::vector<long> shifts;
  };
  // Stamps are looked up by a view of the key: a print makes no copies.
  struct StampKeyView {
    std::uintptr_t font;
    std::wstring_view text;
    std::span<const long> shifts;
  };
  struct StampOrder {
    using is_transparent = void;
    static StampKeyView View(const StampKey& k) noexcept { return {k.font, k.text, k.shifts}; }
    static StampKeyView View(const StampKeyView& k) noexcept { return k; }
    template <class A, class B>
    bool operator()(const A& a, const B& b) const noexcept {
      const StampKeyView x = View(a), y = View(b);
      if (x.font != y.font) return x.font < y.font;
      if (const int c = x.text.compare(y.text); c != 0) return c < 0;
      return std::lexicographical_compare(x.shifts.begin(), x.shifts.end(), y.shifts.begin(), y.shifts.end());
    }
  };
  // A text printed in a font at a place (its reference point in pixels).
  struct PrintedKey {
    std::uintptr_t font;
    int x;
    int y;
    std::wstring text;
  };
  struct PrintedKeyView {
    std::uintptr_t font;
    int x;
    int y;
    std::wstring_view text;
  };
  struct PrintedOrder {
    using is_transparent = void;
    template <class A, class B>
    bool operator()(const A& a, const B& b) const noexcept {
      if (a.font != b.font) return a.font < b.font;
      if (a.x != b.x) return a.x < b.x;
      if (a.y != b.y) return a.y < b.y;
      return std::wstring_view(a.text) < std::wstring_view(b.text);
    }
  };
  struct KeptPrintKey {
    std::uintptr_t font;
    COLORREF type;
    COLORREF ground;
    int x;
    int y;
    std::wstring text;
  };
  struct KeptPrintKeyView {
    std::uintptr_t font;
    COLORREF type;
    COLORREF ground;
    int x;
    int y;
    std::wstring_view text;
  };
  struct KeptPrintOrder {
    using is_transparent = void;
    template <class A, class B>
    bool operator()(const A& a, const B& b) const noexcept {
      if (a.font != b.font) return a.font < b.font;
      if (a.type != b.type) return a.type < b.type;
      if (a.ground != b.ground) return a.ground < b.ground;
      if (a.x != b.x) return a.x < b.x;
      if (a.y != b.y) return a.y < b.y;
      return std::wstring_view(a.text) < std::wstring_view(b.text);
    }
  };
  // The text as printed in the type colour at the reference point on the
  // plain ground, when kept; null otherwise.
  [[nodiscard]] const KeptPrint* KeptPrintAt(HFONT font, std::wstring_view text, int refX, int refY) const;
  // Keeps what the system's print of the text at the reference point just
  // drew within the box (image pixels), which was plain ground before it.
  void KeepPrint(HFONT font, std::wstring_view text, int refX, int refY, const RECT& box, const std::uint32_t* image,
                 int stride);
  void CopyKeptPrint(const KeptPrint& kept, int refX, int refY, std::uint32_t* image, int stride);
  // The stamp blended in the type colour onto a plain ground, kept or made now.
  [[nodiscard]] const KeptPrint& StampOnGround(const Stamp& stamp, Rgb ground);
  // The box a text can cover around its reference point, widened by reach
  // (its cells alone without the margin), and a scratch page at least that
  // large; false when it cannot be had.
  bool TextBox(HFONT font, std::wstring_view text, int reach, int& ox, int& oy, int& w, int& h, bool margin = true);
  static constexpr std::size_t kStampCacheBytes = 16u << 20;
  static constexpr std::size_t kMaxFonts = 48;
  void BlendStamp(const Stamp& stamp, int refX, int refY, std::uint32_t* image, int stride);
  // True when drawing the stamp in the type colour would change no pixel:
  // every inked pixel already has that colour.
  [[nodiscard]] bool InkUnchanged(const Stamp& stamp, int refX, int refY, const std::uint32_t* image, int stride) const;
  // The merged coverage of the text's copies at the given shifts (pixels),
  // kept or made now; null where it cannot be made, and blank set when the
  // text has no ink.
  [[nodiscard]] const Stamp* StampFor(HFONT font, std::wstring_view text, std::span<const POINT> shifts, int reach,
                                      bool& blank);
  // The text's coverage alone (its footprint), when it was made before; null otherwise.
  [[nodiscard]] const Stamp* KnownFootprint(HFONT font, std::wstring_view text);

  // What differs from the ground since the last Clear: the image was
  // cleared to cleanColour_ (clean_) and only the dirty_ rectangles were
  // drawn on since. Clear then fills just those. With a second image, the
  // one not drawn on keeps its own (spare_); Clear changes to it when its
  // ground is the one asked for, or the drawn one's is plain and of another colour.
  struct ImageState {
    HDC dc = nullptr;
    bool checked = false;
    std::uint32_t* bits = nullptr;
    int stride = 0;
    bool clean = false;
    Rgb cleanColour{0, 0, 0};
    std::vector<RECT> dirty;
  };
  ImageState spare_;
  bool spareAsked_ = false;
  [[nodiscard]] bool ChangeToSpareImage();
  void PrepareDc(HDC dc);
  void NoteDrawn();  // takes the drawing bounds of the last GDI call
  void AddDirty(RECT r);
  [[nodiscard]] bool UntouchedGround(const RECT& r, Rgb colour) const;
  static constexpr std::size_t kMaxDirty = 96;
  // What changed since the last Refresh: drawn or cleared.
  void AddChanged(const RECT& r);
  static constexpr std::size_t kMaxChanged = 12;
  std::vector<RECT> changed_;
  bool clean_ = false;
  Rgb cleanColour_{0, 0, 0};
  std::vector<RECT> dirty_;

  HDC dc_;
  DibImage stamp_;  // scratch page for PrintCopies
  std::vector<std::uint8_t> coverage_;
  std::vector<std::uint8_t> merged_;
  std::map<StampKey, Stamp, StampOrder> stamps_;
  std::map<KeptPrintKey, KeptPrint, KeptPrintOrder> keptPrints_;
  std::vector<long> shiftKeys_;  // scratch for a stamp's key
  std::size_t stampBytes_ = 0;
  int width_;
  int height_;
  float tppX_;
  float tppY_;
  SurfaceHost& host_;
  Rgb fore_{255, 255, 255};
  Rgb back_{0, 0, 0};
  FontSpec selected_;
  bool hasSelected_ = false;
  HFONT selectedFont_ = nullptr;  // the font of selected_, null when to be found again
  [[nodiscard]] HFONT SelectedFont();
  // Fonts live as long as the surface: a page switches between a few.
  std::map<std::tuple<std::wstring, int, bool, bool, int>, UniqueFont> fonts_;
  // Each face asked for, with the name the system lists it under (none: not installed).
  std::map<std::wstring, std::optional<std::wstring>, std::less<>> faces_;
  // Measures of captions (single characters mostly) per font, kept while the font is.
  std::map<std::pair<std::uintptr_t, std::wstring>, TextExtent, std::less<>> measures_;
  static constexpr std::size_t kMaxMeasures = 4096;
  // Texts printed once already, per font.
  std::set<PrintedKey, PrintedOrder> printed_;
  std::shared_ptr<HeldPicture> picture_ = std::make_shared<HeldPicture>();
};

}  // namespace zor::win
