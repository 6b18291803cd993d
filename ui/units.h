#pragma once
// Geometry of the skinned windows is designed in twips. The conversion factor is fixed at
// 15 twips per pixel whatever the display says, so the artwork (drawn in pixels) and the
// layout (held in twips) always agree; the manifest declares no DPI awareness for the same
// reason.
#include "platform/api/types.h"

namespace tovren::ui {

inline constexpr int kTwipsPerPixel = 15;

// Nearest whole pixel; halves cannot occur with whole twips, but round away from zero anyway.
constexpr int TwipsToPixels(int twips) {
  return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                    : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}
constexpr int PixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }

struct RectTw {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const RectTw&) const = default;
};

constexpr platform::RectPx ToPixels(const RectTw& r) {
  return {TwipsToPixels(r.left), TwipsToPixels(r.top), TwipsToPixels(r.width),
          TwipsToPixels(r.height)};
}

constexpr RectTw ToTwips(const platform::RectPx& r) {
  return {PixelsToTwips(r.left), PixelsToTwips(r.top), PixelsToTwips(r.width),
          PixelsToTwips(r.height)};
}

}  // namespace tovren::ui
