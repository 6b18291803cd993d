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
  // A picture that cannot be decoded or drawn leaves the window without content: it stays
  // invisible, and everything else about the window goes on.
  if (!s->Build(png)) s->size_ = {};
  // Every frame is drawn from the DIB alone: the decoded image (4 bytes a pixel, as large
  // as the DIB) and the copy of the PNG would only sit in memory while the window lives.
  s->ReleaseDecoder();
  return s;
}

bool Win32LayeredSurface::Build(const platform::Bytes& png) {
  // GDI+ may read the stream lazily for as long as the image lives (on Windows it keeps
  // a reference), so the stream and its memory stay until the image is disposed.
  if (png.empty()) return false;
  memory_ = GlobalAlloc(GMEM_MOVEABLE, png.size());
  if (!memory_) return false;
  if (void* p = GlobalLock(memory_)) {
    std::memcpy(p, png.data(), png.size());
    GlobalUnlock(memory_);
  }
  IStream* stream = nullptr;
  if (CreateStreamOnHGlobal(memory_, FALSE, &stream) != S_OK) return false;
  stream_ = stream;
  Gdiplus::GpImage* image = nullptr;
  if (gp::GdipLoadImageFromStream(stream, &image) != Gdiplus::Ok || !image) return false;
  image_ = image;

  UINT width = 0, height = 0;
  gp::GdipGetImageWidth(image, &width);
  gp::GdipGetImageHeight(image, &height);
  if (width == 0 || height == 0) return false;
  size_ = {static_cast<int>(width), static_cast<int>(height)};

  HDC screen = GetDC(nullptr);
  memoryDc_ = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  if (!memoryDc_) return false;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = static_cast<LONG>(width);
  info.bmiHeader.biHeight = static_cast<LONG>(height);  // positive: rows bottom-up
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = 4 * width * height;
  void* bits = nullptr;
  dib_ = CreateDIBSection(memoryDc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dib_) return false;
  bits_ = static_cast<const std::uint32_t*>(bits);
  previous_ = SelectObject(memoryDc_, dib_);

  Gdiplus::GpGraphics* graphics = nullptr;
  if (gp::GdipCreateFromHDC(memoryDc_, &graphics) != Gdiplus::Ok) return false;
  graphics_ = graphics;
  // GDI+ writes premultiplied alpha into a 32-bit DIB, as UpdateLayeredWindow wants it.
  gp::GdipDrawImageRect(graphics, image, 0.0f, 0.0f, static_cast<Gdiplus::REAL>(width),
                        static_cast<Gdiplus::REAL>(height));
  GdiFlush();
  return true;
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
  ReleaseDecoder();  // in case Create did not get that far
  if (memoryDc_ && previous_) SelectObject(memoryDc_, previous_);
  if (dib_) DeleteObject(dib_);
  if (memoryDc_) DeleteDC(memoryDc_);
}

void Win32LayeredSurface::Present(std::uint8_t alpha) {
  if (size_.width == 0 || size_.height == 0) {
    lastPresentOk_ = false;
    return;
  }
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
