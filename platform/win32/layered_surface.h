#pragma once
// The drawing of a layered picture window: a PNG decoded by GDI+ into a 32-bit DIB with
// per-pixel alpha, handed to UpdateLayeredWindow whole on every frame.
#include "platform/win32/windows_api.h"

#include <cstdint>
#include <memory>

#include "platform/api/desktop.h"

namespace tovren::win32 {

class Win32LayeredSurface : public platform::LayeredSurface {
 public:
  // nullptr when GDI+ does not start. Bytes that are no picture it can decode give a
  // surface of size 0 x 0 that draws nothing.
  static std::unique_ptr<Win32LayeredSurface> Create(HWND window, const platform::Bytes& png);
  ~Win32LayeredSurface() override;
  Win32LayeredSurface(const Win32LayeredSurface&) = delete;
  Win32LayeredSurface& operator=(const Win32LayeredSurface&) = delete;

  platform::SizePx ImageSize() const override { return size_; }
  void Present(std::uint8_t alpha) override;

  // For tests: a pixel of the drawing as premultiplied 0xAARRGGBB (x, y from the top
  // left), and whether the last layer update succeeded.
  std::uint32_t PixelAt(int x, int y) const;
  bool LastPresentSucceeded() const { return lastPresentOk_; }

 private:
  Win32LayeredSurface() = default;
  bool Build(const platform::Bytes& png);
  void ReleaseDecoder();
  HWND window_ = nullptr;
  // Held only while the picture is decoded and drawn (Create).
  ULONG_PTR token_ = 0;
  HGLOBAL memory_ = nullptr;  // the PNG bytes
  void* stream_ = nullptr;    // IStream* over them
  void* image_ = nullptr;     // GpImage*
  void* graphics_ = nullptr;  // GpGraphics*
  HDC memoryDc_ = nullptr;
  HBITMAP dib_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  const std::uint32_t* bits_ = nullptr;
  platform::SizePx size_;
  bool lastPresentOk_ = false;
};

}  // namespace tovren::win32
