// GBK (code page 936) <-> UTF-8 through UTF-16, independent of the system's ANSI code page.
#include "platform/api/codepage.h"

#include <windows.h>

#include <string>

#include "platform/win32/wide.h"

namespace tovren::platform {
namespace {

constexpr UINT kGbk = 936;

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Code page 936 holds nothing outside the basic plane, and WideCharToMultiByte would turn
// each half of a surrogate pair into its own '?'. One character, one '?'.
std::wstring FoldSupplementary(std::wstring text) {
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    wchar_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      out.push_back(L'?');
      ++i;
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      out.push_back(L'?');
    } else {
      out.push_back(c);
    }
  }
  return out;
}

bool IsGbkLead(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
bool IsGbkTrail(unsigned char b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }

// One character of GBK (one or two bytes) to UTF-16, or nothing when the code page has no
// character there.
bool DecodeUnit(const char* p, int n, std::wstring& out) {
  wchar_t buf[4];
  int got = MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, p, n, buf, 4);
  if (got <= 0) return false;
  out.append(buf, static_cast<size_t>(got));
  return true;
}

}  // namespace

std::string Utf8ToGbk(std::string_view utf8) {
  if (utf8.empty()) return {};
  // Invalid UTF-8 arrives here as U+FFFD, which GBK lacks, so it leaves as '?'.
  std::wstring wide = FoldSupplementary(win32::Wide(utf8));
  if (wide.empty()) return {};
  // No best fit: a character GBK lacks must become '?', not a look-alike letter.
  int n = WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                              nullptr, 0, "?", nullptr);
  if (n <= 0) return std::string(wide.size(), '?');
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                      out.data(), n, "?", nullptr);
  return out;
}

std::string GbkToUtf8(std::string_view gbk) {
  if (gbk.empty()) return {};
  // The usual case: the whole text is valid and converts in one call.
  int n = MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, gbk.data(), static_cast<int>(gbk.size()),
                              nullptr, 0);
  if (n > 0) {
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, gbk.data(), static_cast<int>(gbk.size()),
                        wide.data(), n);
    return win32::Utf8(wide);
  }
  // Otherwise character by character, so that each bad sequence becomes exactly one
  // U+FFFD and the good text around it survives (the system's own fallback characters
  // differ between Windows versions and Wine).
  std::wstring wide;
  wide.reserve(gbk.size());
  size_t i = 0;
  while (i < gbk.size()) {
    auto b = static_cast<unsigned char>(gbk[i]);
    if (b < 0x80) {
      wide.push_back(static_cast<wchar_t>(b));
      ++i;
    } else if (IsGbkLead(b) && i + 1 < gbk.size() &&
               IsGbkTrail(static_cast<unsigned char>(gbk[i + 1]))) {
      if (!DecodeUnit(gbk.data() + i, 2, wide)) wide.push_back(0xFFFD);
      i += 2;
    } else {
      // A lone byte above 0x7F: 0x80 is the euro sign in this code page; the rest, and a
      // lead byte without its trail, are invalid.
      if (!DecodeUnit(gbk.data() + i, 1, wide)) wide.push_back(0xFFFD);
      ++i;
    }
  }
  return win32::Utf8(wide);
}

}  // namespace tovren::platform
