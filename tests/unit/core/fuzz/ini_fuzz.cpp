// Any bytes as a settings file: reading never crashes, reading what was written gives the
// same lookups, and a write changes only the key it names.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/ini.h"
#include "core/settings_file.h"

using tovren::core::IniDocument;

namespace {

// Lookups compared after each step; enough to cover every key of a real settings file.
constexpr std::size_t kMaxChecked = 64;

void Require(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "property failed: %s\n", what);
    std::abort();
  }
}

std::string_view Trim(std::string_view s) {
  const char* blanks = " \t\r\v\f";
  auto b = s.find_first_not_of(blanks);
  if (b == std::string_view::npos) return {};
  return s.substr(b, s.find_last_not_of(blanks) - b + 1);
}

using Lookups = std::vector<std::pair<std::pair<std::string, std::string>, std::optional<std::string>>>;

Lookups Snapshot(const IniDocument& doc) {
  Lookups out;
  for (auto& name : doc.Names()) {
    if (out.size() == kMaxChecked) break;
    auto value = doc.Get(name.first, name.second);
    out.emplace_back(std::move(name), std::move(value));
  }
  return out;
}

// Serializing is stable, and what is read back from it is what was there.
void CheckRoundTrip(const IniDocument& doc) {
  const std::string out = doc.Serialize();
  const IniDocument again = IniDocument::Parse(out);
  Require(again.Serialize() == out, "serialize(parse(serialize(d))) == serialize(d)");
  Require(again.Names() == doc.Names(), "the same names after a round trip");
  for (const auto& [name, value] : Snapshot(doc)) {
    Require(again.Get(name.first, name.second) == value, "the same values after a round trip");
  }
}

bool ValidUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (std::size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += n;
  }
  return true;
}

std::string PickName(FuzzedDataProvider& in, const std::vector<std::string>& known) {
  if (!known.empty() && in.ConsumeBool()) {
    return known[in.ConsumeIntegralInRange<std::size_t>(0, known.size() - 1)];
  }
  return in.ConsumeRandomLengthString(16);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  // Reading the input as it is.
  IniDocument whole = IniDocument::Parse(bytes);
  CheckRoundTrip(whole);

  // What the load does to it: every settings key read, empty entries removed.
  for (const auto& k : tovren::core::kSettingKeys) {
    std::string value = tovren::core::ReadResValue(whole, k.section, k.key, std::nullopt);
    Require(ValidUtf8(value), "values come out as UTF-8");
  }
  CheckRoundTrip(whole);

  // Writes: the document from the front of the input, the writes from the rest.
  FuzzedDataProvider in(data, size);
  IniDocument doc = IniDocument::Parse(in.ConsumeRandomLengthString(size));
  std::vector<std::string> sections;
  std::vector<std::string> keys;
  for (const auto& [s, k] : doc.Names()) {
    sections.push_back(s);
    keys.push_back(k);
  }
  for (int op = 0; op < 8 && in.remaining_bytes() > 0; ++op) {
    const std::string section = PickName(in, sections);
    const std::string key = PickName(in, keys);
    std::optional<std::string> value;
    if (in.ConsumeBool()) value = in.ConsumeRandomLengthString(300);

    const Lookups before = Snapshot(doc);
    const std::string serializedBefore = doc.Serialize();
    try {
      doc.Set(section, key, value ? std::optional<std::string_view>(*value) : std::nullopt);
    } catch (const std::invalid_argument&) {
      Require(doc.Serialize() == serializedBefore, "a refused write changes nothing");
      continue;
    }

    if (value) {
      std::string clean;
      for (char c : *value) {
        if (c != '\r' && c != '\n' && c != '\0') clean += c;
      }
      const std::string_view expected = Trim(clean);
      auto got = doc.Get(section, key);
      Require(got.has_value(), "a written key is there");
      Require(got->size() <= IniDocument::kMaxValueBytes, "at most 254 bytes come back");
      Require(expected.substr(0, got->size()) == *got, "what comes back starts the value written");
      Require(got->size() >= std::min<std::size_t>(expected.size(), IniDocument::kMaxValueBytes - 1),
              "only the 254-byte limit cuts a value");
    }
    for (const auto& [name, was] : before) {
      const bool same = tovren::core::GbkEqualsIgnoringAsciiCase(name.first, Trim(section)) &&
                        tovren::core::GbkEqualsIgnoringAsciiCase(name.second, Trim(key));
      if (!same) Require(doc.Get(name.first, name.second) == was, "a write leaves other keys alone");
    }
    CheckRoundTrip(doc);
  }
  return 0;
}
