// The scaled-decode interface of WIC codecs (a JPEG decoder scales while it
// decodes), which mingw-w64's wincodec.h does not declare.
#pragma once

#include <windows.h>
#include <wincodec.h>

namespace zor::win {

struct IWICBitmapSourceTransform : public IUnknown {
  // prc is in the coordinates of the scaled picture (scaling comes before cropping).
  virtual HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* prc, UINT width, UINT height,
                                               WICPixelFormatGUID* dstFormat, WICBitmapTransformOptions dstTransform,
                                               UINT stride, UINT bufferSize, BYTE* buffer) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetClosestSize(UINT* width, UINT* height) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID* dstFormat) = 0;
  virtual HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions dstTransform,
                                                         BOOL* supported) = 0;
};

// IID 3B16811B-6A43-4ec9-B713-3D5A0C13B940
inline constexpr IID kIidWicBitmapSourceTransform = {
    0x3B16811B, 0x6A43, 0x4ec9, {0xB7, 0x13, 0x3D, 0x5A, 0x0C, 0x13, 0xB9, 0x40}};

}  // namespace zor::win
