#pragma once
// An INI document held in memory as the file's raw bytes, line by line, with the lookup
// and write behaviour of the Windows profile functions that the settings file relies on:
//   - sections and keys match ignoring ASCII case and the blanks around the names, also
//     the blanks around the equals sign;
//   - the first matching section, and in it the first matching key, is the one read,
//     replaced or deleted (later duplicates are kept but never seen);
//   - a write replaces the value in place, appends a new key at the end of its section and
//     a new section at the end of the file; a null value deletes the key;
//   - a value read back is at most kMaxValueBytes bytes;
//   - every line it does not understand, and every line it does not change, keeps its
//     bytes; lines end in CR LF when written.
//
// Names and values are byte strings in the file's code page (GBK). The text is scanned as
// GBK, so a trail byte that happens to be ']', '=' or an ASCII letter is never taken for
// one (a lead byte without a valid trail byte counts as a single byte). Any bytes parse:
// binary garbage, NUL bytes, invalid sequences and very long lines included.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tovren::core {

class IniDocument {
 public:
  // The profile reader's buffer holds 255 bytes with its terminating zero.
  static constexpr std::size_t kMaxValueBytes = 254;

  IniDocument() = default;
  static IniDocument Parse(std::string_view bytes);

  // The whole document, each line followed by CR LF.
  std::string Serialize() const;

  // The value of section/key, blanks around it removed and cut to kMaxValueBytes bytes
  // (never inside a double-byte character); nothing when the section or key is missing.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;

  // Creates or replaces section/key with value; a null value deletes the key (and creates
  // nothing). Blanks around the names are ignored, as they are when reading. CR, LF and
  // NUL bytes of a value are dropped so that a value can never break the line structure.
  // Throws std::invalid_argument for a name that could not be read back as written: an
  // empty key, a key starting with '[' or ';', a key with '=', a section with ']', or a
  // name with CR, LF or NUL.
  void Set(std::string_view section, std::string_view key, std::optional<std::string_view> value);

  // Every key of every section as (section, key), in file order, duplicates included.
  // Lines before the first section belong to no section and are not listed.
  std::vector<std::pair<std::string, std::string>> Names() const;

  // Whether a Set changed anything since Parse.
  bool Changed() const { return changed_; }

 private:
  enum class Kind { Other, Section, Entry };
  struct Line {
    std::string raw;  // the line's bytes without its line end
    Kind kind = Kind::Other;
    // Section: the name. Entry: the key name and the value, blanks around them removed.
    std::string name;
    std::string value;
  };
  static Line Classify(std::string raw);
  // Index of the first section header matching name, or npos.
  std::size_t FindSection(std::string_view name) const;
  // End (one past the last line) of the section whose header is at index header.
  std::size_t SectionEnd(std::size_t header) const;

  std::vector<Line> lines_;
  bool changed_ = false;
};

// Compares two GBK byte strings ignoring ASCII case; the bytes of double-byte characters
// compare exactly.
bool GbkEqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace tovren::core
