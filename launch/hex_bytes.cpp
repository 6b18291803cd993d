#include "launch/hex_bytes.h"

#include <stdexcept>
#include <string>

namespace tovren::launch {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

platform::Bytes HexToBytes(std::string_view pattern) {
  platform::Bytes out;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = pattern.find(' ', start);
    std::string_view piece =
        pattern.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (piece.empty() || piece.size() > 2)
      throw std::invalid_argument("bad byte pattern \"" + std::string(pattern) + "\"");
    int value = 0;
    for (char c : piece) {
      int digit = HexDigit(c);
      if (digit < 0) throw std::invalid_argument("bad byte pattern \"" + std::string(pattern) + "\"");
      value = value * 16 + digit;
    }
    out.push_back(static_cast<std::uint8_t>(value));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return out;
}

}  // namespace tovren::launch
