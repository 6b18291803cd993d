#include "launch/scene_patch.h"

#include <algorithm>
#include <string>

#include "launch/game_folder.h"
#include "launch/hex_bytes.h"
#include "platform/api/errors.h"

namespace tovren::launch {
namespace {

bool IsPresent(platform::Files& files, const std::string& name) {
  try {
    return files.IsNormalFile(name);
  } catch (const platform::OsError&) {
    return false;  // what cannot be looked at cannot be played either
  }
}

std::uint64_t HighestEnd() {
  std::uint64_t end = 0;
  for (const SceneRecord& r : kScenes)
    end = std::max<std::uint64_t>(end, r.markOffset + kTrackFieldInRecord + 1);
  return end;
}

}  // namespace

std::string ScenePackName(int scene) {
  std::string number = std::to_string(scene);
  if (number.size() < 2) number = "0" + number;
  return "sn" + number + ".pak";
}

std::string TrackFileName(int track) { return "music\\s" + std::to_string(track) + ".mp3"; }

void PatchSceneTable(platform::Files& files) {
  const platform::Bytes present = HexToBytes(kScenePresentPattern);
  const platform::Bytes missing = HexToBytes(kSceneMissingPattern);
  const platform::Bytes noTrack = HexToBytes(kTrackMissingPattern);

  RequireGameFile(files, kGameRes, HighestEnd());

  try {
    for (std::size_t i = 0; i < kScenes.size(); ++i) {
      bool found = IsPresent(files, ScenePackName(static_cast<int>(i) + 1));
      files.WriteAt(kGameRes, kScenes[i].markOffset, found ? present : missing);
    }
    for (int track = 1; track <= kTrackCount; ++track) {
      const platform::Bytes value =
          IsPresent(files, TrackFileName(track)) ? HexToBytes(kTrackPatterns[track - 1]) : noTrack;
      for (const SceneRecord& r : kScenes) {
        if (r.track == track) files.WriteAt(kGameRes, r.markOffset + kTrackFieldInRecord, value);
      }
    }
  } catch (const platform::OsError& e) {
    ThrowWriteFailed(kGameRes, e);
  }
}

}  // namespace tovren::launch
