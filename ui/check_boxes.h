#pragma once
// The eight check boxes `复选框` of option switches 1-8. Their values live in the hidden
// fields `复选框辅助` 0-7; a press changes them by a fixed table that keeps the online
// switches consistent: 5 and 8 exclude each other, 6 and 7 exclude each other and can only
// change while 5 is on.
#include <functional>
#include <string>

#include "core/settings.h"

namespace tovren::ui {

// Shows a bitmap in check box `element`.
using CheckBoxPainter = std::function<void(int element, const std::string& bitmap)>;

// A left-button press on check box e. For the press a switch counts as on when its text is
// not "0". Every field change runs its change rule before the next step.
void PressCheckBox(int e, core::Settings& settings, const CheckBoxPainter& paint);

// Whether a pointer move may run the hover machine of check box e: only a box that is
// exactly "0" hovers (5 and 6 only while switch 5 is exactly "1").
bool CheckBoxMayHover(int e, const core::Settings& settings);

}  // namespace tovren::ui
