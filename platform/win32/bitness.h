#pragma once
// The registry's and the system's answers that depend on this build's bitness, without
// Windows itself, so that host tests check them for the 32-bit and the 64-bit build alike.
// The game is a 32-bit program: whatever the launcher's bitness, it must leave the
// registry a 32-bit launcher leaves.
#include <cctype>
#include <string_view>

namespace tovren::win32 {

// The registry view a key is written in (KEY_WOW64_32KEY or KEY_WOW64_64KEY).
enum class RegistryView { k32Bit, k64Bit };

inline bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// "Software\Wow6432Node\..." names the 32-bit view's key outright. Addressed from the
// 64-bit view it is exactly that key on 64-bit Windows, and on 32-bit Windows the flag is
// ignored. Without it Wine, creating the missing keys one by one for a 32-bit program,
// redirects "Software" first and nests a second Wow6432Node inside, where no 32-bit
// reader of "Software\..." ever looks. Every other key is written in the 32-bit view, the
// one the 32-bit game reads: a 32-bit launcher gets it by default, and the 64-bit build
// must ask for it to leave the same registry. (A 32-bit Windows ignores both flags.)
inline RegistryView WriteViewOf(std::string_view subKey) {
  constexpr std::string_view kPrefix = "Software\\Wow6432Node";
  const bool namesWow6432Node = subKey.size() >= kPrefix.size() &&
                                SameIgnoringCase(subKey.substr(0, kPrefix.size()), kPrefix) &&
                                (subKey.size() == kPrefix.size() || subKey[kPrefix.size()] == '\\');
  return namesWow6432Node ? RegistryView::k64Bit : RegistryView::k32Bit;
}

// Whether Windows is a 64-bit one: a 64-bit program only runs on one; a 32-bit program is
// on one exactly when it runs through WOW64 (unknown counts as a 32-bit Windows, whose
// "Software" names reach the key a 32-bit game reads on either kind).
constexpr bool WindowsIs64Bit(bool program64, bool runsUnderWow64) { return program64 || runsUnderWow64; }

inline constexpr bool kProgram64 = sizeof(void*) == 8;

}  // namespace tovren::win32
