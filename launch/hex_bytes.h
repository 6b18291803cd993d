#pragma once
// Fixed byte patterns are kept as text ("90 90": two hexadecimal digits per byte, one
// blank between bytes), so that a pattern reads in the code the way it reads in a hex
// editor.
#include <string_view>

#include "platform/api/types.h"

namespace tovren::launch {

// Splits the pattern at each single blank and reads every piece as one hexadecimal byte.
// Throws std::invalid_argument for anything else (empty pieces, a piece that is not one
// or two hex digits): the patterns are the launcher's own constants, so a bad one is a
// programming error, never a player's.
platform::Bytes HexToBytes(std::string_view pattern);

}  // namespace tovren::launch
