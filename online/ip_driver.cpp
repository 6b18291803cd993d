// The address list and the IP tool driver of `动态`.
#include <algorithm>
#include <charconv>

#include "core/number_text.h"
#include "core/user_error.h"
#include "online/address_list.h"
#include "online/get_line.h"
#include "online/monitor.h"
#include "online/text_util.h"
#include "online/url.h"
#include "platform/api/errors.h"

namespace tovren::online {

std::string 动态::ListAddress(int list) const {
  return "http://" + options_.webHost + "/za/net/" + std::to_string(list) + "/" +
         PercentEncode(settings_.版本编号.Text()) + "/data.asp";
}

std::string 动态::RegistrationPage(int list) const {
  return options_.webHost + "/za/net/" + std::to_string(list) + "/" +
         PercentEncode(settings_.版本编号.Text()) + "/index.asp";
}

std::string 动态::OwnAddressPage() const { return options_.webHost + "/ip/ip.asp"; }

void 动态::RefreshIpList(int list, std::string& accumulator) {
  std::string text = FetchText(p_.http, ListAddress(list), options_.limits);
  AppendListLines(text, accumulator);
  IP.Set(ListFromAccumulator(accumulator));
}

void 动态::RefreshLists() {
  std::string accumulator;
  if (SwitchOn(5)) RefreshIpList(1, accumulator);
  if (SwitchOn(6)) RefreshIpList(2, accumulator);
}

platform::Hwnd 动态::Handle(int i) const {
  const std::string& text = 句柄[static_cast<size_t>(i)].Text();
  platform::Hwnd value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return 0;
  return value;
}

void 动态::SetHandle(int i, platform::Hwnd h) { 句柄[static_cast<size_t>(i)].Set(std::to_string(h)); }

void 动态::Click(platform::Hwnd target) {
  // A message posted to no window would land in our own thread's queue.
  if (!target) return;
  p_.desktop.PostMessage(target, kWmLButtonDown, 0, kClickPoint);
  p_.desktop.PostMessage(target, kWmLButtonUp, 0, kClickPoint);
}

bool 动态::ToolHandlesStale(platform::Hwnd main) {
  if (Handle(0) != main) return true;  // the tool was restarted, or started by someone else
  for (int i : {1, 2}) {
    platform::Hwnd h = Handle(i);
    if (!h || !p_.desktop.IsWindow(h)) return true;
  }
  return false;
}

void 动态::LookUpToolHandles(platform::Hwnd main) {
  auto& desktop = p_.desktop;
  SetHandle(0, main);
  SetHandle(1, main ? desktop.FindChild(main, kToolStartText) : 0);
  SetHandle(2, main ? desktop.FindChild(main, kToolAddressText) : 0);
}

platform::Hwnd 动态::StartToolAndWait() {
  const std::string path = ToolPath();
  try {
    // Started as that file: a game folder with blanks in its name must not start another
    // program.
    p_.processes.Start(platform::ProgramAt(path), 0);
  } catch (const platform::OsError& e) {
    throw core::UserError("无法启动IP直连工具（zarnu\\zarnu_ip.exe）。请重新启动启动器后再按F8。",
                          "cannot start " + path + ": " + e.what());
  }
  // The tool is not waited for by the start; its first window and controls take a moment.
  auto& desktop = p_.desktop;
  for (int waited = 0;; waited += kWaitMs) {
    platform::Hwnd main = desktop.FindTopLevel(kToolTitle);
    if (main && desktop.FindChild(main, kToolStartText) && desktop.FindChild(main, kToolAddressText))
      return main;
    if (waited >= options_.toolStartWaitMs) return main;
    p_.clock.Sleep(kWaitMs);
  }
}

void 动态::ApplyNextIp() {
  auto& desktop = p_.desktop;
  auto& clock = p_.clock;

  const double read = core::ReadNumber(行数.Text());
  const long long counter =
      read <= 0 ? 0 : read >= 1e15 ? 1000000000000000LL : static_cast<long long>(read);
  const int lines = LineCount(IP.Text());
  if (counter <= 0) {
    行数.Set(std::to_string(lines));
    return;  // the counting press applies nothing
  }
  // When the list was replaced by a shorter one during a pass, the pass goes on from its
  // new last line rather than typing empty addresses.
  const int line = static_cast<int>(std::min<long long>(counter - 1, lines - 1));
  行数.Set(std::to_string(line));
  const std::string address = GetLine(IP.Text(), line);
  IP_1.Set(address);

  platform::Hwnd main = desktop.FindTopLevel(kToolTitle);
  if (!main) {
    main = StartToolAndWait();
    LookUpToolHandles(main);
  } else if (ToolHandlesStale(main)) {
    LookUpToolHandles(main);
  }
  if (platform::Hwnd box = Handle(2)) desktop.SendText(box, address, options_.sendTextTimeoutMs);
  clock.Sleep(kWaitMs);
  Click(Handle(1));

  clock.Sleep(kWaitMs);
  platform::Hwnd point = desktop.FindTopLevel(kPointTitle);
  for (int waited = 0; !point && waited < options_.pointWaitMs; waited += kWaitMs) {
    clock.Sleep(kWaitMs);
    point = desktop.FindTopLevel(kPointTitle);
  }
  SetHandle(3, point);
  // Without the tool's box there is nothing to confirm (a look-up without a parent would
  // find any top-level window titled "确定").
  SetHandle(4, point ? desktop.FindChild(point, kPointConfirmText) : 0);
  clock.Sleep(kWaitMs);
  Click(Handle(4));
}

}  // namespace tovren::online
