#pragma once
// Small text helpers shared by the online services.
#include <string>
#include <string_view>
#include <vector>

namespace tovren::online {

// Blanks are spaces, as the list documents and the addresses use them.
std::string_view TrimBlanks(std::string_view text);

// Splits at every CR LF; a text without one is a single piece, an empty text one empty
// piece. Lone CR or LF characters stay inside their piece.
std::vector<std::string_view> SplitCrLf(std::string_view text);

// ASCII letters lowered; other bytes (UTF-8 included) kept.
std::string AsciiLower(std::string_view text);
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// Replaces invalid UTF-8 sequences by U+FFFD, so that every text inside is valid UTF-8.
std::string SanitizeUtf8(std::string_view bytes);

// The code point as UTF-8 (U+FFFD for surrogates and values beyond U+10FFFF).
void AppendUtf8(std::string& out, char32_t codePoint);

}  // namespace tovren::online
