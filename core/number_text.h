#pragma once
// Numbers held as text, read the way the fields' texts were always read.
#include <string_view>

namespace tovren::core {

// Leading blanks skipped, an optional sign, digits with an optional decimal fraction;
// anything after that is ignored and a text without digits reads as 0.
double ReadNumber(std::string_view text);

// Option switches 5 to 8 as the start press and the runtime monitor both read them: on when
// the text reads as the number 1 (" 1" and "1.0" too; "yes" and "" are off). One reading
// for both, so a hand-edited settings file can never turn F8 and F9 on while a start
// press takes the same switch for off.
inline bool SwitchReadsOn(std::string_view text) { return ReadNumber(text) == 1.0; }

}  // namespace tovren::core
