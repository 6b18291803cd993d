#include "platform/win32/registry.h"

#include <windows.h>

#include <string_view>

#include "platform/api/errors.h"
#include "platform/win32/bitness.h"
#include "platform/win32/wide.h"

namespace tovren::win32 {
namespace {

// The root names a script's RegWrite accepts, long and short.
HKEY RootKey(std::string_view name) {
  struct Root {
    const char* longName;
    const char* shortName;
    HKEY key;
  };
  static const Root kRoots[] = {
      {"HKEY_LOCAL_MACHINE", "HKLM", HKEY_LOCAL_MACHINE},
      {"HKEY_CURRENT_USER", "HKCU", HKEY_CURRENT_USER},
      {"HKEY_CLASSES_ROOT", "HKCR", HKEY_CLASSES_ROOT},
      {"HKEY_USERS", "HKU", HKEY_USERS},
      {"HKEY_CURRENT_CONFIG", "HKCC", HKEY_CURRENT_CONFIG},
  };
  for (const Root& r : kRoots) {
    if (SameIgnoringCase(name, r.longName) || SameIgnoringCase(name, r.shortName)) return r.key;
  }
  return nullptr;
}

}  // namespace

void Win32Registry::WriteString(const std::string& valuePath, const std::string& data) {
  // "ROOT\key\...\value"; a trailing backslash names the key's default value.
  size_t firstSep = valuePath.find('\\');
  size_t lastSep = valuePath.rfind('\\');
  HKEY root = firstSep == std::string::npos ? nullptr : RootKey(std::string_view(valuePath).substr(0, firstSep));
  if (!root || lastSep == firstSep) {
    throw platform::OsError("registry path " + valuePath, ERROR_INVALID_PARAMETER);
  }
  std::string subKeyText = valuePath.substr(firstSep + 1, lastSep - firstSep - 1);
  std::wstring subKey = Wide(subKeyText);
  std::wstring valueName = Wide(valuePath.substr(lastSep + 1));
  const REGSAM view = WriteViewOf(subKeyText) == RegistryView::k64Bit ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;

  HKEY key = nullptr;
  LONG rc = RegCreateKeyExW(root, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE | view,
                            nullptr, &key, nullptr);
  if (rc != ERROR_SUCCESS) throw platform::OsError("create registry key " + valuePath, static_cast<DWORD>(rc));
  std::wstring value = Wide(data);
  rc = RegSetValueExW(key, valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                      static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) throw platform::OsError("write registry value " + valuePath, static_cast<DWORD>(rc));
}

}  // namespace tovren::win32
