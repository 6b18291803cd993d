#pragma once
// Plain value types shared by every platform service.
#include <cstdint>
#include <string>
#include <vector>

namespace tovren::platform {

using Bytes = std::vector<std::uint8_t>;

// A window of any process, ours or another's (on Windows the HWND); 0 is none.
using Hwnd = std::uintptr_t;

struct PointPx {
  int x = 0;
  int y = 0;
  bool operator==(const PointPx&) const = default;
};

struct SizePx {
  int width = 0;
  int height = 0;
  bool operator==(const SizePx&) const = default;
};

// Left, top, width, height in pixels. For a top-level window the position is on the
// screen and the size is the client area; for a control it is inside its parent.
struct RectPx {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const RectPx&) const = default;
};

// 0xRRGGBB.
using Rgb = std::uint32_t;

}  // namespace tovren::platform
