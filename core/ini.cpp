#include "core/ini.h"

#include <stdexcept>
#include <utility>

namespace tovren::core {

namespace {

bool IsLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
bool IsTrail(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

// Length of the character starting at i: 2 for a GBK lead byte with a valid trail byte,
// else 1.
std::size_t CharLen(std::string_view s, std::size_t i) {
  if (IsLead(static_cast<unsigned char>(s[i])) && i + 1 < s.size() &&
      IsTrail(static_cast<unsigned char>(s[i + 1]))) {
    return 2;
  }
  return 1;
}

// Position of the first single-byte character c at or after from, or npos.
std::size_t FindChar(std::string_view s, char c, std::size_t from) {
  for (std::size_t i = from; i < s.size(); i += CharLen(s, i)) {
    if (s[i] == c) return i;
  }
  return std::string_view::npos;
}

// Blanks never occur as trail bytes, so trimming raw bytes never splits a character.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
  std::size_t b = 0;
  while (b < s.size() && IsBlank(s[b])) ++b;
  std::size_t e = s.size();
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool HasLineBreakOrNul(std::string_view s) {
  return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

}  // namespace

bool GbkEqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    std::size_t la = CharLen(a, i);
    std::size_t lb = CharLen(b, j);
    if (la != lb) return false;
    if (la == 2) {
      if (a[i] != b[j] || a[i + 1] != b[j + 1]) return false;
    } else if (AsciiLower(a[i]) != AsciiLower(b[j])) {
      return false;
    }
    i += la;
    j += lb;
  }
  return i == a.size() && j == b.size();
}

IniDocument::Line IniDocument::Classify(std::string raw) {
  Line line;
  std::string_view s = raw;
  std::size_t p = 0;
  while (p < s.size() && IsBlank(s[p])) ++p;
  if (p < s.size()) {
    if (s[p] == '[') {
      std::size_t close = FindChar(s, ']', p + 1);
      if (close != std::string_view::npos) {
        line.kind = Kind::Section;
        line.name = std::string(Trim(s.substr(p + 1, close - p - 1)));
      }
    } else if (s[p] != ';') {
      std::size_t eq = FindChar(s, '=', p);
      if (eq != std::string_view::npos) {
        std::string_view key = Trim(s.substr(p, eq - p));
        if (!key.empty()) {
          line.kind = Kind::Entry;
          line.name = std::string(key);
          line.value = std::string(Trim(s.substr(eq + 1)));
        }
      }
    }
  }
  line.raw = std::move(raw);
  return line;
}

IniDocument IniDocument::Parse(std::string_view bytes) {
  IniDocument doc;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t nl = bytes.find('\n', start);
    std::size_t end = nl == std::string_view::npos ? bytes.size() : nl;
    std::size_t contentEnd = end;
    // Only the CR of a CR LF belongs to the line end; a CR elsewhere is content.
    if (nl != std::string_view::npos && contentEnd > start && bytes[contentEnd - 1] == '\r') {
      --contentEnd;
    }
    doc.lines_.push_back(Classify(std::string(bytes.substr(start, contentEnd - start))));
    if (nl == std::string_view::npos) break;
    start = nl + 1;
  }
  return doc;
}

std::string IniDocument::Serialize() const {
  std::size_t total = 0;
  for (const Line& line : lines_) total += line.raw.size() + 2;
  std::string out;
  out.reserve(total);
  for (const Line& line : lines_) {
    out += line.raw;
    out += "\r\n";
  }
  return out;
}

std::size_t IniDocument::FindSection(std::string_view name) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == Kind::Section && GbkEqualsIgnoringAsciiCase(lines_[i].name, name)) {
      return i;
    }
  }
  return std::string_view::npos;
}

std::size_t IniDocument::SectionEnd(std::size_t header) const {
  std::size_t i = header + 1;
  while (i < lines_.size() && lines_[i].kind != Kind::Section) ++i;
  return i;
}

std::vector<std::pair<std::string, std::string>> IniDocument::Names() const {
  std::vector<std::pair<std::string, std::string>> names;
  const Line* section = nullptr;
  for (const Line& line : lines_) {
    if (line.kind == Kind::Section) {
      section = &line;
    } else if (line.kind == Kind::Entry && section) {
      names.emplace_back(section->name, line.name);
    }
  }
  return names;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
  section = Trim(section);
  key = Trim(key);
  std::size_t header = FindSection(section);
  if (header == std::string_view::npos) return std::nullopt;
  std::size_t end = SectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i) {
    const Line& line = lines_[i];
    if (line.kind != Kind::Entry || !GbkEqualsIgnoringAsciiCase(line.name, key)) continue;
    std::string_view v = line.value;
    std::size_t cut = 0;
    while (cut < v.size()) {
      std::size_t len = CharLen(v, cut);
      if (cut + len > kMaxValueBytes) break;
      cut += len;
    }
    return std::string(v.substr(0, cut));
  }
  return std::nullopt;
}

void IniDocument::Set(std::string_view section, std::string_view key,
                      std::optional<std::string_view> value) {
  section = Trim(section);
  key = Trim(key);
  if (HasLineBreakOrNul(section) || HasLineBreakOrNul(key)) {
    throw std::invalid_argument("INI name with a line break or NUL");
  }
  // A name is accepted only if the line written for it reads back as the same name.
  // Appended piece by piece: GCC 12 warns wrongly (-Wrestrict) about "[" + std::string.
  std::string headerLine(1, '[');
  headerLine.append(section).push_back(']');
  Line header = Classify(headerLine);
  if (header.kind != Kind::Section || header.name != section) {
    throw std::invalid_argument("INI section name that cannot be read back");
  }
  std::string newValue;
  if (value) {
    for (char c : *value) {
      if (c != '\r' && c != '\n' && c != '\0') newValue += c;
    }
    newValue = std::string(Trim(newValue));
  }
  Line entry = Classify(std::string(key) + "=" + newValue);
  if (entry.kind != Kind::Entry || entry.name != key) {
    throw std::invalid_argument("INI key name that cannot be read back");
  }

  std::size_t s = FindSection(section);
  if (s == std::string_view::npos) {
    if (!value) return;
    lines_.push_back(std::move(header));
    lines_.push_back(std::move(entry));
    changed_ = true;
    return;
  }
  std::size_t end = SectionEnd(s);
  for (std::size_t i = s + 1; i < end; ++i) {
    Line& line = lines_[i];
    if (line.kind != Kind::Entry || !GbkEqualsIgnoringAsciiCase(line.name, key)) continue;
    if (!value) {
      lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
      changed_ = true;
    } else if (line.value != newValue) {
      // The key keeps the spelling it has in the file.
      line.raw = line.name + "=" + newValue;
      line.value = std::move(newValue);
      changed_ = true;
    }
    return;
  }
  if (!value) return;
  // After the section's last non-blank line, so blank lines that separate it from the
  // next section stay where they are.
  std::size_t at = end;
  while (at > s + 1 && Trim(lines_[at - 1].raw).empty()) --at;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
  changed_ = true;
}

}  // namespace tovren::core
