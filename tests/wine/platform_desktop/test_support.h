#pragma once
// Shared pieces of the desktop tests: pumping with a deadline, an event recorder and a
// small PNG writer (stored deflate blocks), so the decoder under test meets real files.
#include "platform/win32/windows_api.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/api/desktop.h"
#include "platform/win32/loop.h"

namespace tovren::win32::test {

using platform::Hwnd;

inline HWND H(Hwnd h) { return reinterpret_cast<HWND>(h); }

// Pumps until done() holds or ms have passed; true when it held.
inline bool PumpUntil(const std::function<bool()>& done, int ms = 2000) {
  Win32Loop pump;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    pump.PumpPending();
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

inline void PumpFor(int ms) {
  PumpUntil([] { return false; }, ms);
}

// Every event as a line of text, with the control's name.
class Recorder : public platform::WindowEvents {
 public:
  std::vector<std::string> log;
  std::function<void(Hwnd)> onDown, onClick;
  void Name(Hwnd h, std::string name) { names_.push_back({h, std::move(name)}); }

  void OnMouseMove(Hwnd c, int b, int x, int y) override {
    Add("move " + NameOf(c) + " " + std::to_string(b) + " " + std::to_string(x) + " " +
        std::to_string(y));
  }
  void OnMouseDown(Hwnd c, int b, int x, int y) override {
    Add("down " + NameOf(c) + " " + std::to_string(b) + " " + std::to_string(x) + " " +
        std::to_string(y));
    if (onDown) onDown(c);
  }
  void OnClick(Hwnd c) override {
    Add("click " + NameOf(c));
    if (onClick) onClick(c);
  }
  void OnDoubleClick(Hwnd c) override { Add("double " + NameOf(c)); }
  void OnTextChanged(Hwnd c) override { Add("changed " + NameOf(c)); }
  void OnFocus(Hwnd c) override { Add("focus " + NameOf(c)); }
  void OnTrayNotify(int code) override { Add("tray " + std::to_string(code)); }
  void OnCloseRequest(Hwnd c) override { Add("close " + NameOf(c)); }
  void OnTab(Hwnd c, bool backwards) override { Add(std::string(backwards ? "shift-tab " : "tab ") + NameOf(c)); }
  // Button-up and activation events are logged only where a test asks for them.
  bool logUps = false;
  bool logActivations = false;
  void OnActivate(Hwnd c) override {
    if (logActivations) Add("activate " + NameOf(c));
  }
  void OnMouseUp(Hwnd c, int b, int x, int y) override {
    if (logUps)
      Add("up " + NameOf(c) + " " + std::to_string(b) + " " + std::to_string(x) + " " + std::to_string(y));
  }

 private:
  void Add(std::string line) { log.push_back(std::move(line)); }
  std::string NameOf(Hwnd h) const {
    for (const auto& [hwnd, name] : names_)
      if (hwnd == h) return name;
    return "?";
  }
  std::vector<std::pair<Hwnd, std::string>> names_;
};

inline std::uint32_t Crc32(const std::uint8_t* p, size_t n, std::uint32_t crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

// An 8-bit RGBA PNG; pixels are 0xRRGGBBAA, row by row from the top.
inline platform::Bytes Png(int width, int height, const std::vector<std::uint32_t>& pixels) {
  platform::Bytes out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  auto be32 = [](platform::Bytes& b, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<std::uint8_t>(v >> s));
  };
  auto chunk = [&](const char* type, const platform::Bytes& data) {
    be32(out, static_cast<std::uint32_t>(data.size()));
    platform::Bytes body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    be32(out, Crc32(body.data(), body.size()));
  };
  platform::Bytes ihdr;
  be32(ihdr, static_cast<std::uint32_t>(width));
  be32(ihdr, static_cast<std::uint32_t>(height));
  ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});
  chunk("IHDR", ihdr);

  platform::Bytes raw;
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // no filter
    for (int x = 0; x < width; ++x) be32(raw, pixels[static_cast<size_t>(y * width + x)]);
  }
  platform::Bytes z = {0x78, 0x01};
  for (size_t at = 0; at < raw.size() || at == 0;) {
    size_t n = std::min<size_t>(65535, raw.size() - at);
    bool last = at + n >= raw.size();
    z.push_back(last ? 1 : 0);
    z.push_back(static_cast<std::uint8_t>(n));
    z.push_back(static_cast<std::uint8_t>(n >> 8));
    z.push_back(static_cast<std::uint8_t>(~n));
    z.push_back(static_cast<std::uint8_t>(~n >> 8));
    z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
             raw.begin() + static_cast<std::ptrdiff_t>(at + n));
    at += n;
    if (last) break;
  }
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  be32(z, (b << 16) | a);
  chunk("IDAT", z);
  chunk("IEND", {});
  return out;
}

// A memory DC with a 32-bit DIB to paint a window into and read back.
class Canvas {
 public:
  Canvas(int width, int height) {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  COLORREF At(int x, int y) const {
    GdiFlush();
    return GetPixel(dc_, x, y);
  }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

}  // namespace tovren::win32::test
