#include "tests/unit/launch/expected_patch.h"

#include <algorithm>

#include "platform/api/codepage.h"

namespace tovren::launch::testing {
namespace {

struct Slot {
  std::uint32_t at[2];  // versions 1 and 3, version 2
  int size;
  const char* installed;  // the text the installed game holds there
  std::string (*value)(const core::Settings&);
};

// In the game's writing order.
const Slot kSlots[] = {
    {{1864764, 1864780}, 4, "40%", [](const core::Settings& s) { return s.血量[0].Text() + "%"; }},
    {{1864756, 1864772}, 8, "80%", [](const core::Settings& s) { return s.血量[1].Text() + "%"; }},
    {{1864748, 1864764}, 8, "120%", [](const core::Settings& s) { return s.血量[2].Text() + "%"; }},
    {{1864740, 1864756}, 8, "160%", [](const core::Settings& s) { return s.血量[3].Text() + "%"; }},
    {{1864732, 1864748}, 8, "250%", [](const core::Settings& s) { return s.血量[4].Text() + "%"; }},
    {{1864820, 1864836}, 4, "2", [](const core::Settings& s) { return s.时间[0].Text(); }},
    {{1864816, 1864832}, 4, "4", [](const core::Settings& s) { return s.时间[1].Text(); }},
    {{1864812, 1864828}, 4, "6", [](const core::Settings& s) { return s.时间[2].Text(); }},
    {{1864808, 1864824}, 4, "8", [](const core::Settings& s) { return s.场次[3].Text(); }},
    {{1864848, 1864864}, 4, "12", [](const core::Settings& s) { return s.时间[3].Text(); }},
    {{1864804, 1864820}, 4, "14", [](const core::Settings& s) { return s.时间[4].Text(); }},
    {{1864800, 1864816}, 4, "20", [](const core::Settings& s) { return s.场次[5].Text(); }},
    {{1864796, 1864812}, 4, "26", [](const core::Settings& s) { return s.场次[6].Text(); }},
    {{1864792, 1864808}, 4, "99", [](const core::Settings& s) { return s.场次[7].Text(); }},
    {{1864836, 1864852}, 4, "8", [](const core::Settings& s) { return s.人数.Text(); }},
};

const std::uint32_t kMarks[22] = {59971, 60048, 60125, 60202, 60279, 60356, 60433, 60510,
                                  60587, 60664, 60741, 60818, 60895, 60972, 61049, 61126,
                                  61203, 61280, 61357, 61434, 61511, 61590};
const int kTracks[22] = {2, 2, 3, 5, 7, 5, 8, 8, 8, 9, 9, 1, 4, 1, 6, 6, 7, 5, 4, 7, 10, 5};

void Put(Bytes& image, std::uint32_t at, const Bytes& bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) image.at(at + i) = bytes[i];
}

}  // namespace

int Column(int version) { return version == 2 ? 1 : 0; }

Bytes Text(const std::string& s) {
  std::string gbk = platform::Utf8ToGbk(s);
  return Bytes(gbk.begin(), gbk.end());
}

std::string FirstDifference(const Bytes& got, const Bytes& want) {
  auto [g, w] = std::mismatch(got.begin(), got.end(), want.begin(), want.end());
  if (g == got.end() && w == want.end()) return "";
  std::size_t at = static_cast<std::size_t>(g - got.begin());
  auto show = [](const Bytes& b, std::size_t i) {
    return i < b.size() ? std::to_string(b[i]) : std::string("end");
  };
  return "sizes " + std::to_string(got.size()) + "/" + std::to_string(want.size()) +
         ", first difference at offset " + std::to_string(at) + ": " + show(got, at) + " instead of " +
         show(want, at);
}

Bytes MakeGameExe(int version) {
  const int c = Column(version);
  Bytes image(kExeSize, 0x5A);
  for (const Slot& slot : kSlots) {
    Put(image, slot.at[c], Bytes(slot.size, 0));
    Put(image, slot.at[c], Text(slot.installed));
  }
  Put(image, kCodeChangeAt[c], {0x75, 0x07});
  Put(image, kHiddenCommandsAt[c], {0x75, 0x1F});
  return image;
}

Bytes ExpectedGameExe(int version, const core::Settings& settings) {
  return ApplyExpectedExePatch(MakeGameExe(version), version, settings);
}

Bytes ApplyExpectedExePatch(Bytes image, int version, const core::Settings& settings) {
  const int c = Column(version);
  for (const Slot& slot : kSlots) Put(image, slot.at[c], {0, 0, 0, 0});
  for (const Slot& slot : kSlots) Put(image, slot.at[c], Text(slot.value(settings)));
  Put(image, kCodeChangeAt[c], {0x90, 0x90});
  if (settings.复选框辅助[0].Text() == "1") Put(image, kHiddenCommandsAt[c], {0x71});
  return image;
}

std::uint32_t SceneMarkAt(int scene) { return kMarks[scene - 1]; }
std::uint32_t SceneTrackAt(int scene) { return kMarks[scene - 1] + 16; }
int SceneTrack(int scene) { return kTracks[scene - 1]; }

Bytes MakeGameRes() {
  Bytes image(kResSize, 0xEE);
  for (int scene = 1; scene <= 22; ++scene) {
    Put(image, SceneMarkAt(scene), {0x0B, 0, 0, 0});
    Put(image, SceneTrackAt(scene), {static_cast<std::uint8_t>(SceneTrack(scene)), 0, 0, 0});
  }
  return image;
}

}  // namespace tovren::launch::testing
