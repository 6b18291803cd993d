#pragma once
// The scene table of the game's resource file, adapted to what is installed: a scene
// whose pack is missing is marked missing, a scene whose music is missing gets the
// "no track" number.
#include <array>
#include <cstdint>

#include "platform/api/files.h"

namespace tovren::launch {

struct SceneRecord {
  std::uint32_t markOffset;  // start of the record; the scene mark is its byte 0
  int track;                 // music track 1-10 ("music\s<track>.mp3")
};

// Scenes 1-22 ("sn01.pak" ... "sn22.pak"). Records are 77 bytes apart, except that the
// last one lies two bytes further on.
inline constexpr std::array<SceneRecord, 22> kScenes{{
    {0xEA43, 2}, {0xEA90, 2}, {0xEADD, 3}, {0xEB2A, 5}, {0xEB77, 7}, {0xEBC4, 5},
    {0xEC11, 8}, {0xEC5E, 8}, {0xECAB, 8}, {0xECF8, 9}, {0xED45, 9}, {0xED92, 1},
    {0xEDDF, 4}, {0xEE2C, 1}, {0xEE79, 6}, {0xEEC6, 6}, {0xEF13, 7}, {0xEF60, 5},
    {0xEFAD, 4}, {0xEFFA, 7}, {0xF047, 10}, {0xF096, 5},
}};
inline constexpr std::uint32_t kTrackFieldInRecord = 16;
inline constexpr int kTrackCount = 10;

inline constexpr const char* kScenePresentPattern = "0B";
inline constexpr const char* kSceneMissingPattern = "0A";
inline constexpr const char* kTrackMissingPattern = "0B";
// Track t is written as the byte of kTrackPatterns[t - 1].
inline constexpr std::array<const char*, kTrackCount> kTrackPatterns{
    "01", "02", "03", "04", "05", "06", "07", "08", "09", "0A"};

// "sn07.pak" for scene 7; "music\s10.mp3" for track 10.
std::string ScenePackName(int scene);
std::string TrackFileName(int track);

// Tests every scene pack and every music file once (present: a normal file) and writes
// the scene marks and track numbers into "Tovren.res". Checks the file first and writes
// nothing when it throws core::UserError for a missing or short resource file.
void PatchSceneTable(platform::Files& files);

}  // namespace tovren::launch
