#pragma once
// Names of the skin bitmaps. A skin bitmap is the bitmap resource "OJB" + two-digit family
// + two-digit state; the controls ask for it in lower case, which resource look-up ignores.
#include <string>

namespace tovren::ui {

inline constexpr int kNormal = 1;   // "01"
inline constexpr int kHover = 2;    // "02"
inline constexpr int kPressed = 3;  // "03": pressed (buttons) or switched on (check boxes)

// Families (the version picture, family 9, uses the version number as its state).
inline constexpr int kFamilyCheckBox0 = 1;      // + element, elements 0-7
inline constexpr int kFamilyVersion = 9;
inline constexpr int kFamilyVersionEntry0 = 10; // + element, elements 0-2
inline constexpr int kFamilyBrowse = 13;
inline constexpr int kFamilyDropDownBox = 14;
inline constexpr int kFamilyDropDownList = 15;
inline constexpr int kFamilyButton0 = 16;       // + element, elements 0-4
inline constexpr int kFamilyMenuItem0 = 21;     // + item, items 0-2

// The window and panel backgrounds, which belong to the windows' design.
inline constexpr const char* kBackMain = "BACK_MAIN";
inline constexpr const char* kPanelStart = "PANEL_START";
inline constexpr const char* kPanelNet = "PANEL_NET";
inline constexpr const char* kPanelRules = "PANEL_RULES";
inline constexpr const char* kBackMenu = "BACK_MENU";

// "ojb" + family + state, both with two digits: LoadSkinBitmap(18, 3) is "ojb1803".
// The desktop shows a bitmap by its resource name, so the name is the bitmap.
std::string LoadSkinBitmap(int family, int state);

}  // namespace tovren::ui
