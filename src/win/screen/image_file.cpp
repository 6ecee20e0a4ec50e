#include "win/screen/image_file.h"

#include <wincodec.h>

#include "win/common/com.h"

#include <cwctype>

namespace zor::win {

namespace {


std::wstring Failed(const wchar_t* step, HRESULT hr) {
  wchar_t code[16];
  swprintf(code, 16, L"%08lX", static_cast<unsigned long>(hr));
  return std::wstring(L"cannot write the image (") + step + L", error 0x" + code + L")";
}

}  // namespace

std::wstring WriteImageFile(const std::filesystem::path& file, const std::uint32_t* pixels, int width, int height) {
  if (!pixels || width < 1 || height < 1) return L"nothing to write";
  std::wstring ext = file.extension().wstring();
  for (wchar_t& c : ext) c = static_cast<wchar_t>(std::towlower(c));
  const GUID container = ext == L".bmp" ? GUID_ContainerFormatBmp : GUID_ContainerFormatPng;

  ComPtr<IWICImagingFactory> factory;
  HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(factory.put()));
  if (FAILED(hr)) return Failed(L"imaging factory", hr);

  const std::filesystem::path temp = file.wstring() + L".part";
  const std::wstring error = [&]() -> std::wstring {
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    if (FAILED(hr = factory->CreateStream(stream.put()))) return Failed(L"stream", hr);
    if (FAILED(hr = stream->InitializeFromFilename(temp.c_str(), GENERIC_WRITE))) return Failed(L"open", hr);
    if (FAILED(hr = factory->CreateEncoder(container, nullptr, encoder.put()))) return Failed(L"encoder", hr);
    if (FAILED(hr = encoder->Initialize(stream.get(), WICBitmapEncoderNoCache))) return Failed(L"encoder", hr);
    if (FAILED(hr = encoder->CreateNewFrame(frame.put(), nullptr))) return Failed(L"frame", hr);
    if (FAILED(hr = frame->Initialize(nullptr))) return Failed(L"frame", hr);
    if (FAILED(hr = frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height)))) return Failed(L"size", hr);
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGR;
    if (FAILED(hr = frame->SetPixelFormat(&format))) return Failed(L"pixel format", hr);
    const UINT stride = static_cast<UINT>(width) * 4;
    const UINT size = stride * static_cast<UINT>(height);
    if (IsEqualGUID(format, GUID_WICPixelFormat32bppBGR) || IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA)) {
      hr = frame->WritePixels(static_cast<UINT>(height), stride, size,
                              reinterpret_cast<BYTE*>(const_cast<std::uint32_t*>(pixels)));
    } else {
      // The encoder wants 24-bit BGR.
      const UINT stride24 = (static_cast<UINT>(width) * 3 + 3) & ~3u;
      std::string rows(static_cast<std::size_t>(stride24) * static_cast<std::size_t>(height), '\0');
      for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
          const std::uint32_t p = pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
          char* d = rows.data() + static_cast<std::size_t>(y) * stride24 + static_cast<std::size_t>(x) * 3;
          d[0] = static_cast<char>(p & 0xFF);
          d[1] = static_cast<char>((p >> 8) & 0xFF);
          d[2] = static_cast<char>((p >> 16) & 0xFF);
        }
      }
      hr = frame->WritePixels(static_cast<UINT>(height), stride24, static_cast<UINT>(rows.size()),
                              reinterpret_cast<BYTE*>(rows.data()));
    }
    if (FAILED(hr)) return Failed(L"pixels", hr);
    if (FAILED(hr = frame->Commit())) return Failed(L"commit", hr);
    if (FAILED(hr = encoder->Commit())) return Failed(L"commit", hr);
    return {};
  }();
  if (!error.empty()) {
    DeleteFileW(temp.c_str());  // the old file stays as it was
    return error;
  }
  if (!MoveFileExW(temp.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temp.c_str());
    return L"cannot write the image (the file cannot be replaced)";
  }
  return {};
}

}  // namespace zor::win
