// GDI+ through its flat interface: one start-up per surface, held only while the picture is
// decoded and drawn, so no window's drawing depends on another's.
#include "platform/win32/layered_surface.h"

#include <objidl.h>
#include <gdiplus.h>

#include <cstring>

namespace tovren::win32 {

namespace gp = Gdiplus::DllExports;

std::unique_ptr<Win32LayeredSurface> Win32LayeredSurface::Create(HWND window,
                                                                 const platform::Bytes& png) {
  std::unique_ptr<Win32LayeredSurface> s(new Win32LayeredSurface());
  s->window_ = window;

  Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback, no suppression
  if (Gdiplus::GdiplusStartup(&s->token_, &input, nullptr) != Gdiplus::Ok) {
    s->token_ = 0;
    return nullptr;
  }

  // GDI+ may read the stream lazily for as long as the image lives (on Windows it keeps
  // a reference), so the stream and its memory stay until the image is disposed.
  if (png.empty()) return nullptr;
  s->memory_ = GlobalAlloc(GMEM_MOVEABLE, png.size());
  if (!s->memory_) return nullptr;
  if (void* p = GlobalLock(s->memory_)) {
    std::memcpy(p, png.data(), png.size());
    GlobalUnlock(s->memory_);
  }
  IStream* stream = nullptr;
  if (CreateStreamOnHGlobal(s->memory_, FALSE, &stream) != S_OK) return nullptr;
  s->stream_ = stream;
  Gdiplus::GpImage* image = nullptr;
  if (gp::GdipLoadImageFromStream(stream, &image) != Gdiplus::Ok || !image) return nullptr;
  s->image_ = image;

  UINT width = 0, height = 0;
  gp::GdipGetImageWidth(image, &width);
  gp::GdipGetImageHeight(image, &height);
  if (width == 0 || height == 0) return nullptr;
  s->size_ = {static_cast<int>(width), static_cast<int>(height)};

  HDC screen = GetDC(nullptr);
  s->memoryDc_ = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  if (!s->memoryDc_) return nullptr;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = static_cast<LONG>(width);
  info.bmiHeader.biHeight = static_cast<LONG>(height);  // positive: rows bottom-up
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = 4 * width * height;
  void* bits = nullptr;
  s->dib_ = CreateDIBSection(s->memoryDc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!s->dib_) return nullptr;
  s->bits_ = static_cast<const std::uint32_t*>(bits);
  s->previous_ = SelectObject(s->memoryDc_, s->dib_);

  Gdiplus::GpGraphics* graphics = nullptr;
  if (gp::GdipCreateFromHDC(s->memoryDc_, &graphics) != Gdiplus::Ok) return nullptr;
  s->graphics_ = graphics;
  // GDI+ writes premultiplied alpha into a 32-bit DIB, as UpdateLayeredWindow wants it.
  gp::GdipDrawImageRect(graphics, image, 0.0f, 0.0f, static_cast<Gdiplus::REAL>(width),
                        static_cast<Gdiplus::REAL>(height));
  GdiFlush();
  // Every frame is drawn from the DIB alone: the decoded image (4 bytes a pixel, as large
  // as the DIB) and the copy of the PNG would only sit in memory while the window lives.
  s->ReleaseDecoder();
  return s;
}

void Win32LayeredSurface::ReleaseDecoder() {
  // In this order: image, its stream and memory, graphics, GDI+ itself.
  if (image_) gp::GdipDisposeImage(static_cast<Gdiplus::GpImage*>(image_));
  if (stream_) static_cast<IStream*>(stream_)->Release();
  if (memory_) GlobalFree(memory_);
  if (graphics_) gp::GdipDeleteGraphics(static_cast<Gdiplus::GpGraphics*>(graphics_));
  if (token_) Gdiplus::GdiplusShutdown(token_);
  image_ = stream_ = graphics_ = nullptr;
  memory_ = nullptr;
  token_ = 0;
}

Win32LayeredSurface::~Win32LayeredSurface() {
  ReleaseDecoder();  // still held when Create gave up half-way
  if (memoryDc_ && previous_) SelectObject(memoryDc_, previous_);
  if (dib_) DeleteObject(dib_);
  if (memoryDc_) DeleteDC(memoryDc_);
}

void Win32LayeredSurface::Present(std::uint8_t alpha) {
  SIZE size{size_.width, size_.height};
  POINT source{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA};
  // No destination point: the window keeps its place and takes the layer's size.
  lastPresentOk_ = UpdateLayeredWindow(window_, nullptr, nullptr, &size, memoryDc_, &source, 0,
                                       &blend, ULW_ALPHA) != FALSE;
}

std::uint32_t Win32LayeredSurface::PixelAt(int x, int y) const {
  if (!bits_ || x < 0 || y < 0 || x >= size_.width || y >= size_.height) return 0;
  GdiFlush();
  return bits_[static_cast<size_t>(size_.height - 1 - y) * size_.width + x];
}

}  // namespace tovren::win32
