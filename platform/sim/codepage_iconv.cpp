// Code page 936 on the host, through iconv. GBK is what Windows calls code page 936;
// glibc's "GBK" converter matches it for every character the launcher writes.
#include <iconv.h>

#include <cerrno>
#include <string>

#include "platform/api/codepage.h"

namespace tovren::platform {
namespace {

// Converts in, replacing each sequence the source encoding cannot decode (invalidSize
// bytes skipped) or the target cannot hold by `replacement`.
std::string Convert(const char* to, const char* from, std::string_view in,
                    const std::string& replacement) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
  std::string out;
  out.reserve(in.size() * 2);
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char buffer[4096];
  while (srcLeft > 0) {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    if (r != static_cast<size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    // EILSEQ (undecodable or unmappable) or EINVAL (truncated at the end): skip one
    // source character. For UTF-8 input skip the whole code point so '?' stands once.
    size_t skip = 1;
    if (std::string_view(from) == "UTF-8") {
      unsigned char c = static_cast<unsigned char>(*src);
      skip = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
      if (skip > srcLeft) skip = srcLeft;
    }
    src += skip;
    srcLeft -= skip;
    out += replacement;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string Utf8ToGbk(std::string_view utf8) { return Convert("GBK", "UTF-8", utf8, "?"); }

std::string GbkToUtf8(std::string_view gbk) {
  return Convert("UTF-8", "GBK", gbk, "\xEF\xBF\xBD");
}

}  // namespace tovren::platform
