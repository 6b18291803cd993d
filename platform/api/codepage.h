#pragma once
// Text is UTF-8 inside the program. The settings file, the texts written into the game
// files and every byte pattern use code page 936 (GBK) whatever the system's own code
// page is, so that a launcher on a non-Chinese Windows still reads and writes files that
// Chinese systems wrote. Implemented with iconv on the host, MultiByteToWideChar on Windows.
#include <string>
#include <string_view>

namespace tovren::platform {

// Characters GBK cannot hold become '?'. Never throws.
std::string Utf8ToGbk(std::string_view utf8);
// Invalid or truncated GBK sequences become U+FFFD. Never throws.
std::string GbkToUtf8(std::string_view gbk);

}  // namespace tovren::platform
