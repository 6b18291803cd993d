#include "online/get_line.h"

#include <climits>

#include "online/text_util.h"

namespace tovren::online {

int LineCount(std::string_view text) {
  long count = 1;
  for (size_t at = text.find("\r\n"); at != std::string_view::npos; at = text.find("\r\n", at + 2))
    if (count < INT_MAX) ++count;
  return static_cast<int>(count);
}

std::string GetLine(std::string_view text, int line) {
  if (line < 0) return {};
  auto lines = SplitCrLf(text);
  if (static_cast<size_t>(line) >= lines.size()) return {};
  return std::string(lines[static_cast<size_t>(line)]);
}

}  // namespace tovren::online
