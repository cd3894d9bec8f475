#include "app/win/picture.h"

#include <objbase.h>
#include <shlwapi.h>
#include <wincodec.h>

#include <cstring>
#include <utility>

#include "common/win/com.h"

namespace quadrivo::app {
namespace {

constexpr UINT kBytesPerPixel = 3;
constexpr UINT kMaxSide = 4096;  // far beyond any picture of ours; keeps the sizes in 32 bits

}  // namespace

win::UniqueBitmap decode_picture(std::string_view bytes) {
  if (bytes.empty()) return {};
  win::ComPointer<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                              reinterpret_cast<void**>(factory.put())))) {
    return {};
  }
  win::ComPointer<IStream> stream;
  *stream.put() = SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size()));
  if (!stream) return {};
  win::ComPointer<IWICBitmapDecoder> decoder;
  if (FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.put()))) {
    return {};
  }
  win::ComPointer<IWICBitmapFrameDecode> frame;
  if (FAILED(decoder->GetFrame(0, frame.put()))) return {};
  win::ComPointer<IWICBitmapSource> converted;
  if (FAILED(WICConvertBitmapSource(GUID_WICPixelFormat24bppBGR, frame.get(), converted.put()))) return {};
  UINT width = 0, height = 0;
  if (FAILED(converted->GetSize(&width, &height)) || width == 0 || height == 0 || width > kMaxSide ||
      height > kMaxSide) {
    return {};
  }

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = static_cast<LONG>(width);
  info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down, as WIC delivers the rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  win::UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
  if (!bitmap || !pixels) return {};
  const UINT stride = (width * kBytesPerPixel + 3) & ~3u;  // DIB rows are padded to 4 bytes
  if (FAILED(converted->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(pixels)))) return {};
  GdiFlush();
  return bitmap;
}

void set_picture(HWND picture_box, win::UniqueBitmap bitmap) {
  const HBITMAP shown = bitmap.release();
  const auto previous = reinterpret_cast<HBITMAP>(
      SendMessageW(picture_box, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(shown)));
  if (previous && previous != shown) DeleteObject(previous);
}

void clear_picture(HWND picture_box) { set_picture(picture_box, win::UniqueBitmap()); }

}  // namespace quadrivo::app
