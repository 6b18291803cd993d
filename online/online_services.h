#pragma once
// The online part of a start press: the list step of the start sequence, over the runtime
// monitor's address list and the submitter.
#include <string>

#include "launch/online_steps.h"
#include "online/monitor.h"
#include "online/submitter.h"

namespace tovren::online {

class OnlineServices : public launch::OnlineSteps {
 public:
  OnlineServices(动态& monitor, 提交& submitter) : monitor_(monitor), submitter_(submitter) {}

  // RefreshIpList for that list with the run's accumulator. Throws FetchError.
  void RefreshList(int list, std::string& accumulator) override {
    monitor_.RefreshIpList(list, accumulator);
  }
  // `提交` opened on that list's registration page.
  void OpenSubmitter(int list) override { submitter_.Open(monitor_.RegistrationPage(list)); }

 private:
  动态& monitor_;
  提交& submitter_;
};

}  // namespace tovren::online
