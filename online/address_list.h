#pragma once
// The address list's text rules: what a fetched list document adds to the run's
// accumulator, and the list text made from the accumulator.
#include <string>
#include <string_view>

namespace tovren::online {

// Appends every line of document (split at CR LF) that is not empty or blanks alone, kept
// exactly as it stands (with its blanks), each followed by CR LF.
void AppendListLines(std::string_view document, std::string& accumulator);

// The address list from an accumulator: each entry once (exact comparison, the first
// occurrence kept in place), entries separated by CR LF, none after the last.
std::string ListFromAccumulator(std::string_view accumulator);

}  // namespace tovren::online
