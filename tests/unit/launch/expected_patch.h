#pragma once
// Game files as the version packs install them and what the patches must make of them.
// Offsets are written out here from the game's documented layout on their own, so that a
// wrong offset in the launcher's tables shows as a byte mismatch. No platform needed
// beyond the code page: the Wine tests use it too.
#include <cstdint>
#include <string>

#include "core/settings.h"
#include "platform/api/types.h"

namespace tovren::launch::testing {

using platform::Bytes;

// Tovren.exe of a version's layout: rule texts in their slots, 75 07 and 75 1F at the
// two code offsets, every other byte 0x5A.
Bytes MakeGameExe(int version);
// Tovren.res: the 22 records with scene mark 0B and their tracks, every other byte 0xEE.
Bytes MakeGameRes();
inline constexpr std::uint64_t kExeSize = 1865216;  // a little past the highest slot
inline constexpr std::uint64_t kResSize = 61696;

// What PatchGameExecutable must turn MakeGameExe(version) into for these settings, and
// what it must turn any installed executable of that version's layout into.
Bytes ExpectedGameExe(int version, const core::Settings& settings);
Bytes ApplyExpectedExePatch(Bytes installed, int version, const core::Settings& settings);

// Offsets of the documented layout, decimal as the game's tables give them.
inline constexpr std::uint32_t kCodeChangeAt[2] = {240478, 240302};
inline constexpr std::uint32_t kHiddenCommandsAt[2] = {746901, 747253};
int Column(int version);

// The scene-mark offset of scene 1-22 and its music-track offset, decimal.
std::uint32_t SceneMarkAt(int scene);
std::uint32_t SceneTrackAt(int scene);
int SceneTrack(int scene);

// Text in code page 936, as the game files hold it.
Bytes Text(const std::string& s);

// "" when equal, else where the two images first differ (printing megabytes helps nobody).
std::string FirstDifference(const Bytes& got, const Bytes& want);

}  // namespace tovren::launch::testing
