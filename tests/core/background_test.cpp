#include "core/screen/background.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "core/screen/recording_surface.h"

namespace zor {
namespace {

class FakeFolders final : public PictureFolders {
 public:
  std::map<std::wstring, std::vector<std::wstring>> folders;
  std::set<std::wstring> files;
  [[nodiscard]] bool FolderExists(const std::wstring& path) override { return folders.contains(path); }
  [[nodiscard]] bool FileExists(const std::wstring& path) override { return files.contains(path); }
  [[nodiscard]] const std::vector<std::wstring>& Files(const std::wstring& folder) override {
    static const std::vector<std::wstring> none;
    const auto it = folders.find(folder);
    return it == folders.end() ? none : it->second;
  }
};

// 1024 × 768 pixels at 15 twips per pixel: 768 × 576 points.
struct Bench {
  RecordingSurface surface{1024, 768};
  ScriptedRandom random;
  FakeFolders folders;
  PictureSettings settings;
  bool preview = false;
  BackgroundPainter Painter() { return BackgroundPainter(surface, random, folders, settings, preview); }
};

TEST(PictureNames, PatternAndJoining) {
  for (const wchar_t* yes : {L"a.bmp", L"B.RLE", L"c.Gif", L"d.jpg", L"e.JPEG", L"x.y.jpg", L"f.PNG", L"g.tif",
                             L"h.Tiff"}) {
    EXPECT_TRUE(IsPictureFileName(yes)) << static_cast<const void*>(yes);
  }
  for (const wchar_t* no : {L"a.webp", L"bmp", L"a.jpgx", L"a.jp", L"a.", L"", L"a.bmp.txt", L"a.pngpngpngpngpngpng"}) {
    EXPECT_FALSE(IsPictureFileName(no));
  }
  // The system's other decoders add theirs (a WebP codec installed).
  const std::vector<std::wstring> more{L"webp", L"heic"};
  EXPECT_TRUE(IsPictureFileName(L"a.WebP", more));
  EXPECT_TRUE(IsPictureFileName(L"a.bmp", more));
  EXPECT_FALSE(IsPictureFileName(L"a.txt", more));
  EXPECT_EQ(JoinFolderFile(L"C:\\", L"a.jpg"), L"C:\\a.jpg") << "a drive root is not doubled";
  EXPECT_EQ(JoinFolderFile(L"C:\\pics", L"a.jpg"), L"C:\\pics\\a.jpg");
  EXPECT_EQ(JoinFolderFile(L"C:\\pics\\", L"a.jpg"), L"C:\\pics\\a.jpg");
  EXPECT_EQ(JoinFolderFile(L"C:", L"a.jpg"), L"C:\\a.jpg");
}

// Faults: a codec's list with capitals, blanks, repeats or an empty entry
// giving extensions that never match (".JPE" kept with its dot or case).
TEST(PictureNames, ExtensionsOfADecodersList) {
  EXPECT_EQ(ExtensionsOfList(L".jpeg,.JPE, .jpg,,.jfif ,.jpg"),
            (std::vector<std::wstring>{L"jpeg", L"jpe", L"jpg", L"jfif"}));
  EXPECT_EQ(ExtensionsOfList(L"*.webp"), (std::vector<std::wstring>{L"webp"}));
  EXPECT_EQ(ExtensionsOfList(L".jpg;.jpeg;.jfif"), (std::vector<std::wstring>{L"jpg", L"jpeg", L"jfif"}))
      << "Wine's JPEG decoder lists them with semicolons";
  EXPECT_TRUE(ExtensionsOfList(L"").empty());
  EXPECT_TRUE(ExtensionsOfList(L" , . ,").empty());
}

struct ChooseCase {
  const char* name;
  std::int16_t backgroundMode;
  std::int16_t intervalMode;
  bool intervalJustShown;
  std::int16_t displayTick;
  bool chooses;
};

TEST(ChooseBackgroundFile, KeepsThePreviousPictureWhereTheRulesSay) {
  const ChooseCase cases[] = {
      {"centre, no interval images, tick 0: new", 1, 0, false, 0, true},
      {"centre, no interval images, tick 1: kept", 1, 0, false, 1, false},
      {"tile, tick 2: kept", 3, 0, false, 2, false},
      {"centre with interval images, no run: kept", 1, 1, false, 0, false},
      {"centre after a run: new", 1, 2, true, 1, true},
      {"corner: always new", 2, 1, false, 1, true},
      {"random: always new", 4, 0, false, 2, true},
      {"none, tick 0: a file all the same", 0, 0, false, 0, true},
  };
  for (const ChooseCase& c : cases) {
    Bench b;
    b.settings.frame.backgroundMode = c.backgroundMode;
    b.settings.frame.intervalMode = c.intervalMode;
    b.settings.backgroundFolder = L"C:\\";
    b.folders.folders[L"C:\\"] = {L"a.jpg", L"b.jpg", L"c.jpg"};
    b.random = ScriptedRandom({2});
    FrameState state;
    state.intervalJustShown = c.intervalJustShown;
    state.displayTick = c.displayTick;
    EXPECT_EQ(b.Painter().ChooseBackgroundFile(state), c.chooses ? L"C:\\c.jpg" : L"") << c.name;
  }
}

TEST(ChooseBackgroundFile, SourcesThatGiveNoFile) {
  Bench b;
  b.settings.frame.backgroundMode = 2;
  FrameState state;
  b.settings.backgroundFolder = L"D:\\none";
  EXPECT_EQ(b.Painter().ChooseBackgroundFile(state), L"") << "missing folder";
  b.folders.folders[L"D:\\none"] = {};
  EXPECT_EQ(b.Painter().ChooseBackgroundFile(state), L"") << "empty folder";
  EXPECT_TRUE(b.random.asked.empty()) << "no draw without files";

  b.settings.backgroundFromFile = -1;
  b.settings.backgroundSingleFile = L"  D:\\one.jpg ";
  EXPECT_EQ(b.Painter().ChooseBackgroundFile(state), L"") << "missing single file";
  b.folders.files.insert(L"D:\\one.jpg");
  EXPECT_EQ(b.Painter().ChooseBackgroundFile(state), L"D:\\one.jpg") << "blanks trimmed";
  EXPECT_TRUE(b.random.asked.empty());
}

// Picture 400 × 300 pixels on 1024 × 768.
TEST(PaintBackground, CentreWithTheFourScalings) {
  const struct {
    std::int16_t scaling;
    Rect source;
    Rect destinationPixels;
  } cases[] = {
      {0, {0, 0, 400, 300}, {312, 234, 400, 300}},
      {1, {0, 0, 400, 300}, {0, 0, 1024, 768}},  // same aspect: fit fills
      {3, {0, 0, 400, 300}, {0, 0, 1024, 768}},
  };
  for (const auto& c : cases) {
    Bench b;
    b.settings.frame.backgroundMode = 1;
    b.settings.backgroundStretch = c.scaling;
    b.surface.pictureSize = {400, 300};
    EXPECT_FALSE(b.Painter().PaintBackground(L"C:\\a.jpg"));
    ASSERT_EQ(b.surface.pictures.size(), 1u) << c.scaling;
    EXPECT_EQ(b.surface.pictures[0].source, c.source) << c.scaling;
    const Rect& d = c.destinationPixels;
    EXPECT_EQ(b.surface.pictures[0].destination, (Rect{d.x * 0.75f, d.y * 0.75f, d.width * 0.75f, d.height * 0.75f}))
        << c.scaling;
    EXPECT_EQ(b.surface.events, (std::vector<std::string>{"load", "picture", "refresh"}));
  }
}

TEST(ScaleIntoArea, FitAndFillKeepTheAspect) {
  // 800 × 200 into 1024 × 768.
  const PicturePlacement fit = ScaleIntoArea(Scaling::kFit, {800, 200}, {1024, 768});
  EXPECT_EQ(fit.destination, (Rect{0, 256, 1024, 256}));
  const PicturePlacement fill = ScaleIntoArea(Scaling::kFill, {800, 200}, {1024, 768});
  // r = 768 / 200 = 3.84; ex = 800 - 1024 / 3.84 = 533.33 -> 533.
  EXPECT_EQ(fill.source, (Rect{266.5f, 0, 267, 200}));
  EXPECT_EQ(fill.destination, (Rect{0, 0, 1024, 768}));
  const PicturePlacement tall = ScaleIntoArea(Scaling::kFill, {300, 900}, {1024, 768});
  // r = 1024 / 300; ey = 900 - 768 * 300 / 1024 = 675.
  EXPECT_EQ(tall.source, (Rect{0, 337.5f, 300, 225}));
  const PicturePlacement own = ScaleIntoArea(Scaling::kOwnSize, {2000, 1000}, {1024, 768});
  EXPECT_EQ(own.destination, (Rect{-488, -116, 2000, 1000})) << "larger than the area: centred, overflowing";
  EXPECT_EQ(ScalingOf(7), Scaling::kOwnSize);
  EXPECT_EQ(ScalingOf(-1), Scaling::kOwnSize);
}

TEST(PaintBackground, TilesFromTheTopLeft) {
  Bench b;
  b.settings.frame.backgroundMode = 3;
  b.settings.backgroundStretch = 2;  // no effect on tiles
  b.surface.pictureSize = {300, 200};  // 225 × 150 points
  EXPECT_FALSE(b.Painter().PaintBackground(L""));
  // 768 / 225 -> 4 columns, 576 / 150 -> 4 rows.
  ASSERT_EQ(b.surface.pictures.size(), 16u);
  EXPECT_EQ(b.surface.pictures[0].destination, (Rect{0, 0, 225, 150}));
  EXPECT_EQ(b.surface.pictures[5].destination, (Rect{225, 150, 225, 150}));
  EXPECT_EQ(b.surface.pictures[15].destination, (Rect{675, 450, 225, 150}));
  EXPECT_EQ(b.surface.pictures[15].source, (Rect{0, 0, 300, 200}));
  EXPECT_EQ(b.surface.Count("load"), 0) << "an empty name keeps the picture held";
}

TEST(PaintBackground, TileSizeIsCutToWholePoints) {
  const TileGrid grid = TileGridFor({50.25f, 10.9f}, 768, 576);
  EXPECT_EQ(grid.width, 50);
  EXPECT_EQ(grid.height, 10);
  EXPECT_EQ(grid.columns, 16);  // 0, 50, ... 750
  EXPECT_EQ(grid.rows, 58);
}

TEST(PaintBackground, PictureSmallerThanOnePointIsPaintedOnce) {
  Bench b;
  b.settings.frame.backgroundMode = 3;
  b.surface.pictureSize = {1, 40};  // 0.75 points wide
  EXPECT_FALSE(b.Painter().PaintBackground(L"C:\\dot.bmp"));
  ASSERT_EQ(b.surface.pictures.size(), 1u);
  EXPECT_EQ(b.surface.pictures[0].destination, (Rect{0, 0, 0.75f, 30}));
}

TEST(PaintBackground, NothingInPreviewOnFailureOrWithoutPlacement) {
  {
    Bench b;
    b.preview = true;
    b.settings.frame.backgroundMode = 2;
    b.surface.pictureSize = {400, 300};
    EXPECT_FALSE(b.Painter().PaintBackground(L"C:\\a.jpg")) << "no corner pending in preview";
    b.Painter().PaintBackgroundCorner(L"C:\\a.jpg", TextPlace::kCentre, 0, 0);
    EXPECT_TRUE(b.surface.events.empty());
  }
  {
    Bench b;
    b.settings.frame.backgroundMode = 1;
    b.surface.pictureSize = {0, 0};  // the load fails
    EXPECT_FALSE(b.Painter().PaintBackground(L"C:\\broken.jpg"));
    EXPECT_EQ(b.surface.events, (std::vector<std::string>{"load"}));
  }
  {
    Bench b;
    b.settings.frame.backgroundMode = 0;
    b.surface.pictureSize = {400, 300};
    EXPECT_FALSE(b.Painter().PaintBackground(L"C:\\a.jpg"));
    EXPECT_TRUE(b.surface.events.empty()) << "not even decoded";
  }
}

TEST(PaintBackground, CornerWaitsAndRandomDrawsAPlacementPerMessage) {
  Bench b;
  b.settings.frame.backgroundMode = 2;
  b.surface.pictureSize = {400, 300};
  EXPECT_TRUE(b.Painter().PaintBackground(L"C:\\a.jpg"));
  EXPECT_TRUE(b.surface.events.empty()) << "the corner loads later";

  b.settings.frame.backgroundMode = 4;
  b.random = ScriptedRandom({1, 0, 2});
  EXPECT_TRUE(b.Painter().PaintBackground(L"C:\\a.jpg")) << "rand(3) 1 -> corner";
  EXPECT_FALSE(b.Painter().PaintBackground(L"C:\\a.jpg")) << "0 -> centre";
  EXPECT_EQ(b.surface.pictures.size(), 1u);
  EXPECT_FALSE(b.Painter().PaintBackground(L"C:\\a.jpg")) << "2 -> tile";
  EXPECT_GT(b.surface.pictures.size(), 2u);
  EXPECT_EQ(b.random.asked, (std::vector<int>{3, 3, 3}));
}

// The corner area: 768 × 576 points; 1024 × 768 pixels.
TEST(PaintBackgroundCorner, AnchorsOppositeTheText) {
  Bench b;
  b.settings.frame.backgroundMode = 2;
  b.surface.pictureSize = {800, 600};  // 600 × 450 points

  b.settings.backgroundStretch = 0;  // own size from the top-right, running under the text
  b.Painter().PaintBackgroundCorner(L"a.jpg", TextPlace::kBottomLeft, 200, 100);
  EXPECT_EQ(b.surface.pictures.back().destination, (Rect{168, 0, 600, 450}));

  b.settings.backgroundStretch = 1;  // fitted inside 0.97 × 768 - 100 by 0.97 × 576 - 200
  b.Painter().PaintBackgroundCorner(L"a.jpg", TextPlace::kBottomLeft, 200, 100);
  const Rect fit = b.surface.pictures.back().destination;
  EXPECT_NEAR(fit.height, 0.97f * 576 - 200, 0.01f);
  EXPECT_NEAR(fit.width, fit.height * 4 / 3, 0.01f);
  EXPECT_NEAR(fit.x + fit.width, 768, 0.01f);
  EXPECT_EQ(fit.y, 0);

  b.settings.backgroundStretch = 3;  // stretched to the area at the bottom-left; no vertical band: the whole width
  b.Painter().PaintBackgroundCorner(L"a.jpg", TextPlace::kTopRight, 100, 0);
  const Rect stretch = b.surface.pictures.back().destination;
  EXPECT_NEAR(stretch.x, 0, 0.01f);
  EXPECT_NEAR(stretch.width, 768, 0.01f);
  EXPECT_NEAR(stretch.height, 0.97f * 576 - 100, 0.01f);
  EXPECT_NEAR(stretch.y + stretch.height, 576, 0.01f);

  b.settings.backgroundStretch = 2;  // centred text: fill the whole form
  b.Painter().PaintBackgroundCorner(L"a.jpg", TextPlace::kCentre, 300, 300);
  EXPECT_EQ(b.surface.pictures.back().destination, (Rect{0, 0, 768, 576}));
  b.settings.backgroundStretch = 0;
  b.Painter().PaintBackgroundCorner(L"a.jpg", TextPlace::kCentre, 300, 300);
  EXPECT_EQ(b.surface.pictures.back().destination, (Rect{84, 63, 600, 450}));
}

TEST(BackgroundPainter, TellsTheHolderHowThePictureWillBePainted) {
  const PictureUse scaled{};
  const PictureUse middle{true, 0, 0};
  const PictureUse fillsScreen{false, 0, 0, true};
  Bench b;
  b.surface.SetBackColour(PaletteColour(kPaletteWhite));  // the uses' default ground
  b.surface.pictureSize = {800, 600};
  b.settings.frame.backgroundMode = 1;
  for (std::int16_t scaling = 0; scaling < 4; ++scaling) {
    b.settings.backgroundStretch = scaling;
    (void)b.Painter().PaintBackground(L"C:\\a.jpg");
  }
  b.settings.frame.backgroundMode = 3;
  (void)b.Painter().PaintBackground(L"C:\\a.jpg");
  EXPECT_EQ(b.surface.uses,
            (std::vector<PictureUse>{middle, scaled, fillsScreen, scaled, PictureUse{true, -1, -1}}));

  // Beside the text: at its own size, the corner it is anchored in.
  b.surface.uses.clear();
  b.settings.frame.backgroundMode = 2;
  for (const int scaling : {0, 1}) {
    b.settings.backgroundStretch = static_cast<std::int16_t>(scaling);
    for (const TextPlace place : {TextPlace::kBottomLeft, TextPlace::kTopRight, TextPlace::kCentre}) {
      b.Painter().PaintBackgroundCorner(L"C:\\a.jpg", place, 100, 100);
    }
  }
  EXPECT_EQ(b.surface.uses, (std::vector<PictureUse>{{true, 1, -1}, {true, -1, 1}, middle, scaled, scaled, scaled}));

  // Fault: a see-through picture blended over another ground than the page's.
  b.surface.uses.clear();
  b.surface.SetBackColour(PaletteColour(kPaletteBlack));
  b.Painter().PaintBackgroundCorner(L"C:\\a.jpg", TextPlace::kCentre, 100, 100);
  b.settings.frame.backgroundMode = 1;
  (void)b.Painter().PaintBackground(L"C:\\a.jpg");
  ASSERT_EQ(b.surface.uses.size(), 2u);
  EXPECT_EQ(b.surface.uses[0].ground, PaletteColour(kPaletteBlack));
  EXPECT_EQ(b.surface.uses[1].ground, PaletteColour(kPaletteBlack));
}

TEST(PaintBackgroundCorner, NoRoomAndBrokenPicturesPaintNothing) {
  Bench b;
  b.surface.pictureSize = {800, 600};
  b.settings.backgroundStretch = 1;
  b.Painter().PaintBackgroundCorner(L"a.jpg", TextPlace::kBottomLeft, 600, 0);  // bands wider than the form
  EXPECT_TRUE(b.surface.pictures.empty());
  b.surface.pictureSize = {0, 0};
  b.settings.backgroundStretch = 0;
  b.Painter().PaintBackgroundCorner(L"broken.jpg", TextPlace::kBottomLeft, 10, 10);
  EXPECT_TRUE(b.surface.pictures.empty());
}

// The page frame with real background steps: a file named "0…" decides the
// colours and the picture is painted before the text's stopwatch starts.
TEST(BackgroundPainter, FileNameRuleThroughThePageFrame) {
  Bench b;
  b.settings.frame = {1, -1, 0};
  b.settings.backgroundFolder = L"C:\\p";
  b.folders.folders[L"C:\\p"] = {L"0night.jpg"};
  b.surface.pictureSize = {400, 300};
  BackgroundPainter painter = b.Painter();
  ManualClock clock;
  FrameState state;
  PageFrame frame(b.surface, clock, painter, b.settings.frame, state);
  bool invert = true;
  frame.Begin(false, invert);
  EXPECT_FALSE(invert) << "white type on black";
  EXPECT_EQ(state.backgroundFile, L"C:\\p\\0night.jpg");
  EXPECT_EQ(b.surface.pictures.size(), 1u);
}

}  // namespace
}  // namespace zor
