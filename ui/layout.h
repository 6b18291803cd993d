#pragma once
// The layout of the settings window `主体`, held once: every rectangle in twips, measured
// from the top-left corner of the control's container. The artwork generator computes the
// boxes it paints on the backdrop from the same numbers.
#include <array>

#include "ui/units.h"

namespace tovren::ui::layout {

// `主体` lies on the backdrop `main` at this offset (228, 245 pixels) and has this size
// (517 x 290 pixels).
inline constexpr int kBodyOffsetLeft = 3420;
inline constexpr int kBodyOffsetTop = 3675;
inline constexpr int kBodyWidth = 7755;
inline constexpr int kBodyHeight = 4350;

// Where a control lies: the window itself or one of its containers.
enum class Container { Window, 开始, 网络, 血时, 下拉项 };

struct Place {
  Container container;
  RectTw rect;
};

// Panels.
inline constexpr Place k开始{Container::Window, {0, 540, 6720, 2790}};
inline constexpr Place k网络{Container::Window, {0, 540, 6720, 2790}};
inline constexpr Place k血时{Container::Window, {1200, 795, 4305, 2205}};

// Action buttons 0-4: network, settings, start, minimise, close.
inline constexpr std::array<Place, 5> k按钮{{
    {Container::Window, {2520, 3735, 930, 480}},
    {Container::Window, {4275, 3435, 960, 555}},
    {Container::Window, {6420, 3660, 1365, 750}},
    {Container::Window, {5820, 90, 375, 345}},
    {Container::Window, {6255, 90, 375, 345}},
}};

// The drag handle across the top of the window.
inline constexpr Place k移动{Container::Window, {0, 0, 5775, 495}};

// Version selector.
inline constexpr Place k下拉框{Container::开始, {1170, 150, 2565, 450}};
inline constexpr Place k版本{Container::开始, {1245, 255, 2100, 285}};
inline constexpr Place k下拉项{Container::开始, {1185, 570, 2565, 1410}};
constexpr Place 版本号(int i) { return {Container::下拉项, {60, (20 * i + 1) * 15, 2100, 285}}; }

// Check boxes 0-7 (option switches 1-8).
constexpr Place 复选框(int i) {
  switch (i) {
    case 4: return {Container::网络, {315, 135, 3150, 435}};
    case 5: return {Container::网络, {705, 615, 3150, 435}};
    case 6: return {Container::网络, {705, 1095, 3150, 435}};
    case 7: return {Container::网络, {315, 1575, 3150, 435}};
    default: return {Container::开始, {1155, (32 * i + 41) * 15, 2835, 435}};
  }
}

// Platform browse and its label.
inline constexpr Place k浏览{Container::网络, {4005, 2100, 855, 405}};
inline constexpr Place k平台路径{Container::网络, {1480, 2220, 2450, 255}};
inline constexpr const char* kPathCaption = "请选择游戏平台";  // until a path is chosen

// Rule fields in the rules panel.
inline constexpr int kRuleWidth = 615;
inline constexpr int kRuleHeight = 245;
constexpr int RuleLeft(int i) { return 120 + 890 * i; }
constexpr Place 血量(int i) { return {Container::血时, {RuleLeft(i), 30, kRuleWidth, kRuleHeight}}; }
constexpr Place 时间(int i) { return {Container::血时, {RuleLeft(i), 510, kRuleWidth, kRuleHeight}}; }
constexpr Place 场次(int i) {
  return i < 5 ? Place{Container::血时, {RuleLeft(i), 990, kRuleWidth, kRuleHeight}}
               : Place{Container::血时, {RuleLeft(i - 5), 1470, kRuleWidth, kRuleHeight}};
}
inline constexpr Place k人数{Container::血时, {120, 1950, kRuleWidth, kRuleHeight}};

// Typed-input limits of the rule fields, in characters.
constexpr int 血量Limit(int i) { return i == 0 ? 2 : 3; }
inline constexpr int kRuleLimit = 2;  // 时间, 场次, 人数

}  // namespace tovren::ui::layout
