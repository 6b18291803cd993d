// The address-list rules on arbitrary documents: the list they give has each entry once,
// no blank entry, no final CR LF, and reads back line by line as it was made.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "online/address_list.h"
#include "online/get_line.h"
#include "online/text_util.h"

using namespace tovren::online;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  // The first byte splits the input into two documents, as both lists of a run.
  size_t cut = size ? static_cast<unsigned char>(input[0]) % (size + 1) : 0;
  std::string_view first = input.substr(0, cut), second = input.substr(cut);
  std::string accumulator;
  AppendListLines(first, accumulator);
  AppendListLines(second, accumulator);
  std::string list = ListFromAccumulator(accumulator);
  if (list.size() >= 2 && list.compare(list.size() - 2, 2, "\r\n") == 0) std::abort();
  if (list.empty()) return 0;
  const int lines = LineCount(list);
  std::set<std::string> seen;
  std::string rebuilt;
  for (int i = 0; i < lines; ++i) {
    std::string entry = GetLine(list, i);
    if (TrimBlanks(entry).empty()) std::abort();
    if (!seen.insert(entry).second) std::abort();
    if (accumulator.find(entry) == std::string::npos) std::abort();
    rebuilt += (i ? "\r\n" : "") + entry;
  }
  if (rebuilt != list) std::abort();
  if (!GetLine(list, lines).empty()) std::abort();
  return 0;
}
