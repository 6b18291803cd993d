#include "platform/win32/resources.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace tovren::win32 {
namespace {

// A resource name or type as FindResourceW takes it: decimal digits are a numeric id
// (MAKEINTRESOURCE), anything else a string, which the system compares ignoring case.
class ResName {
 public:
  explicit ResName(const std::string& name) {
    bool digits = !name.empty() && name.size() <= 5 &&
                  name.find_first_not_of("0123456789") == std::string::npos;
    if (digits) {
      unsigned long id = std::stoul(name);
      if (id <= 0xFFFF) {
        id_ = static_cast<WORD>(id);
        numeric_ = true;
        return;
      }
    }
    text_ = Wide(name);
  }
  LPCWSTR get() const { return numeric_ ? MAKEINTRESOURCEW(id_) : text_.c_str(); }

 private:
  bool numeric_ = false;
  WORD id_ = 0;
  std::wstring text_;
};

}  // namespace

std::optional<platform::Bytes> Win32Resources::Load(const std::string& type, const std::string& name) {
  if (type.empty() || name.empty()) return std::nullopt;
  ResName t(type), n(name);
  HMODULE self = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(self, n.get(), t.get());
  if (!found) return std::nullopt;
  DWORD size = SizeofResource(self, found);
  HGLOBAL loaded = LoadResource(self, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return size == 0 ? std::optional<platform::Bytes>(platform::Bytes{}) : std::nullopt;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  return platform::Bytes(bytes, bytes + size);
}

bool Win32Resources::HasBitmap(const std::string& name) {
  if (name.empty()) return false;
  ResName n(name);
  return FindResourceW(GetModuleHandleW(nullptr), n.get(), MAKEINTRESOURCEW(2) /* RT_BITMAP */) != nullptr;
}

}  // namespace tovren::win32
