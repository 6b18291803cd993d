#pragma once
// Module 获取文体框指定行 (get specified line of text box): one line of the address list,
// read the way the multi-line text box of the address list counts its lines.
#include <string>
#include <string_view>

namespace tovren::online {

// Lines are separated by CR LF; an empty text is one empty line.
int LineCount(std::string_view text);

// Line `line` (0-based) without its CR LF. A negative line, or one at or past the line
// count (the list was replaced after the countdown was set), gives an empty text.
std::string GetLine(std::string_view text, int line);

}  // namespace tovren::online
