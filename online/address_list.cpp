#include "online/address_list.h"

#include <unordered_set>

#include "online/text_util.h"

namespace tovren::online {

void AppendListLines(std::string_view document, std::string& accumulator) {
  for (std::string_view piece : SplitCrLf(document)) {
    if (TrimBlanks(piece).empty()) continue;
    accumulator.append(piece);
    accumulator.append("\r\n");
  }
}

std::string ListFromAccumulator(std::string_view accumulator) {
  // The accumulator holds whole entries each ending in CR LF, so the last piece of the
  // split is the empty rest after the final CR LF.
  auto pieces = SplitCrLf(accumulator);
  if (!pieces.empty() && pieces.back().empty()) pieces.pop_back();
  std::unordered_set<std::string_view> seen;
  std::string list;
  for (std::string_view entry : pieces) {
    if (!seen.insert(entry).second) continue;
    list.append(entry);
    list.append("\r\n");
  }
  if (list.size() >= 2) list.resize(list.size() - 2);
  return list;
}

}  // namespace tovren::online
