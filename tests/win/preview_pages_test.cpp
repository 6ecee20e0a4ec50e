// The preview's pages written as pictures: what is written, how many, and
// where the folder named cannot take them.
#include "win/screen/preview_pages.h"

#include <gtest/gtest.h>
#include <wincodec.h>

#include <vector>

#include "../core/temp_folder.h"
#include "win/common/dib.h"

namespace zor::win {
namespace {

// The pixels of a picture file as 0x00RRGGBB, decoded by WIC; empty when it does not decode.
std::vector<std::uint32_t> ReadPicture(const std::filesystem::path& file, UINT& width, UINT& height) {
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  ComPtr<IWICFormatConverter> converter;
  width = height = 0;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                              reinterpret_cast<void**>(factory.put()))) ||
      FAILED(factory->CreateDecoderFromFilename(file.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                decoder.put())) ||
      FAILED(decoder->GetFrame(0, frame.put())) || FAILED(factory->CreateFormatConverter(converter.put())) ||
      FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0,
                                   WICBitmapPaletteTypeCustom)) ||
      FAILED(converter->GetSize(&width, &height))) {
    return {};
  }
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
  if (FAILED(converter->CopyPixels(nullptr, width * 4, width * height * 4, reinterpret_cast<BYTE*>(pixels.data())))) {
    return {};
  }
  for (std::uint32_t& p : pixels) p &= 0xFFFFFF;
  return pixels;
}

// An image of the preview's size: red, green and blue quarters that a
// swapped channel or a flipped row order would not survive.
DibImage Quarters(int width, int height) {
  DibImage image;
  if (!image.Create(width, height)) return image;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.pixels()[y * width + x] = y < height / 2 ? (x < width / 2 ? 0xFF0000u : 0x00FF00u) : 0x0000FFu;
    }
  }
  return image;
}

TEST(PreviewPages, WritesEachPageAsItsPictureUpToTheTwentieth) {
  ComScope com;
  zor::testing::TempFolder folder;
  DibImage image = Quarters(152, 112);
  ASSERT_TRUE(image.dc());
  PreviewPages pages(folder.path());
  const ImagePixels pixels{image.pixels(), 152, 152, 112};
  for (int n = 1; n <= 25; ++n) EXPECT_EQ(pages.Write(pixels), L"") << n;
  EXPECT_EQ(pages.Pages(), 20);
  EXPECT_EQ(folder.EntryCount(), 20u) << "page-1 to page-20 and nothing else (no part files left)";
  EXPECT_TRUE(std::filesystem::exists(folder / "page-20.png"));
  EXPECT_FALSE(std::filesystem::exists(folder / "page-21.png"));

  UINT w = 0;
  UINT h = 0;
  const std::vector<std::uint32_t> read = ReadPicture(folder / "page-1.png", w, h);
  ASSERT_EQ(w, 152u);
  ASSERT_EQ(h, 112u);
  ASSERT_EQ(read.size(), 152u * 112u);
  EXPECT_EQ(read[0], 0xFF0000u) << "top left is red";
  EXPECT_EQ(read[151], 0x00FF00u) << "top right is green";
  EXPECT_EQ(read[111 * 152], 0x0000FFu) << "the bottom row is blue";
  EXPECT_TRUE(std::equal(read.begin(), read.end(), image.pixels())) << "every pixel as shown";
}

TEST(PreviewPages, AFolderThatCannotTakeThePagesGivesAReasonAndTheNumbersStayThePages) {
  ComScope com;
  zor::testing::TempFolder folder;
  DibImage image = Quarters(16, 16);
  PreviewPages missing(folder / "not-there");
  const ImagePixels pixels{image.pixels(), 16, 16, 16};
  EXPECT_NE(missing.Write(pixels), L"");
  EXPECT_NE(missing.Write(ImagePixels{}), L"") << "no image: a reason, no crash";
  EXPECT_EQ(missing.Pages(), 2);
  std::filesystem::create_directory(folder / "not-there");
  EXPECT_EQ(missing.Write(pixels), L"");
  EXPECT_TRUE(std::filesystem::exists(folder / "not-there" / "page-3.png")) << "the third page drawn is page-3";
}

}  // namespace
}  // namespace zor::win
