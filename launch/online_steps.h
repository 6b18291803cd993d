#pragma once
// The online part of a start press, as the start sequence sees it. The online services
// implement it; the start sequence only decides when each step runs.
#include <string>

namespace tovren::launch {

class OnlineSteps {
 public:
  virtual ~OnlineSteps() = default;
  // Fetches address list `list` (1: mainland China, 2: Hong Kong, Macau, Taiwan) and merges
  // it into the address list through the run's accumulator. Throws on a failed fetch.
  virtual void RefreshList(int list, std::string& accumulator) = 0;
  // Opens the hidden submitter on list `list`'s registration page; returns at once.
  virtual void OpenSubmitter(int list) = 0;
};

}  // namespace tovren::launch
