#include <windows.h>

#include <cstring>
#include <string>

#include "platform/win32/Win32Platform.h"
#include "platform/win32/WideText.h"

namespace qz::platform::win32 {
namespace {

// The longest value name the registry holds, and the longest key name.
constexpr DWORD kMaxValueName = 16383;
constexpr DWORD kMaxKeyName = 255;

HKEY RootHandle(RootKey root) {
  switch (root) {
    case RootKey::ClassesRoot: return HKEY_CLASSES_ROOT;
    case RootKey::CurrentUser: return HKEY_CURRENT_USER;
    case RootKey::LocalMachine: return HKEY_LOCAL_MACHINE;
    case RootKey::Users: return HKEY_USERS;
    case RootKey::CurrentConfig: return HKEY_CURRENT_CONFIG;
  }
  return HKEY_LOCAL_MACHINE;
}

REGSAM Sam(KeyAccess access) {
  switch (access) {
    case KeyAccess::Read: return KEY_READ;
    case KeyAccess::Write: return KEY_WRITE;
    case KeyAccess::All: return KEY_ALL_ACCESS;
  }
  return KEY_READ;
}

HKEY Key(KeyHandle key) { return reinterpret_cast<HKEY>(key); }

// The types whose data is text, which the system converts for the ANSI
// calls and which are converted here from and to Windows-1250.
bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// A value's name as the wide calls take it; null names the default value.
class WideName {
 public:
  explicit WideName(const char* name) : null_(name == nullptr), text_(Wide(name ? name : "")) {}
  const wchar_t* get() const { return null_ ? nullptr : text_.c_str(); }

 private:
  bool null_;
  std::wstring text_;
};

// The text of a value whose type IsText, as stored (its terminator
// included when it was stored with one).
LONG ReadWideValue(HKEY key, const wchar_t* name, DWORD& type, std::wstring& text) {
  DWORD bytes = 0;
  LONG result = RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes);
  for (int attempt = 0; result == ERROR_SUCCESS && attempt < 4; ++attempt) {
    text.assign(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD room = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    result = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &room);
    if (result == ERROR_SUCCESS) {
      text.resize(room / sizeof(wchar_t));
      return result;
    }
    // The value grew between the two calls: ask again with its new size.
    if (result == ERROR_MORE_DATA) {
      bytes = room;
      result = ERROR_SUCCESS;
    }
  }
  return result;
}

// A name from an enumeration, into the caller's buffer: 234 when it does
// not fit, as the ANSI calls answer; 1113 with '?' in place of what
// Windows-1250 lacks.
ErrorCode EnumeratedName(std::wstring_view wide, TextBuffer& name) {
  ErrorCode error = NarrowStrict(wide, name);
  return error == kErrorFilenameTooLong ? kErrorMoreData : error;
}

}  // namespace

ErrorCode Win32Registry::OpenKey(RootKey root, const char* subkey, KeyAccess access, KeyHandle& key) {
  HKEY opened = nullptr;
  LONG result = RegOpenKeyExW(RootHandle(root), Wide(subkey).c_str(), 0, Sam(access), &opened);
  key = result == ERROR_SUCCESS ? reinterpret_cast<KeyHandle>(opened) : 0;
  return static_cast<ErrorCode>(result);
}

ErrorCode Win32Registry::CreateKey(RootKey root, const char* subkey, KeyHandle& key) {
  HKEY opened = nullptr;
  LONG result = RegCreateKeyExW(RootHandle(root), Wide(subkey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                                nullptr, &opened, nullptr);
  key = result == ERROR_SUCCESS ? reinterpret_cast<KeyHandle>(opened) : 0;
  return static_cast<ErrorCode>(result);
}

void Win32Registry::CloseKey(KeyHandle key) { RegCloseKey(Key(key)); }

ErrorCode Win32Registry::QueryValue(KeyHandle key, const char* name, ValueType* type, void* data,
                                    std::uint32_t& size) {
  WideName wideName(name);
  DWORD found = 0;
  DWORD bytes = 0;
  LONG result = RegQueryValueExW(Key(key), wideName.get(), nullptr, &found, nullptr, &bytes);
  if (result != ERROR_SUCCESS) return static_cast<ErrorCode>(result);
  if (type) *type = static_cast<ValueType>(found);
  if (!IsText(found)) {
    bytes = size;
    result = RegQueryValueExW(Key(key), wideName.get(), nullptr, &found, static_cast<BYTE*>(data), &bytes);
    size = bytes;
    return static_cast<ErrorCode>(result);
  }
  std::wstring wide;
  result = ReadWideValue(Key(key), wideName.get(), found, wide);
  if (result != ERROR_SUCCESS) return static_cast<ErrorCode>(result);
  std::string narrow;
  bool whole = Narrow(wide, narrow);
  auto needed = static_cast<std::uint32_t>(narrow.size());
  bool fits = data == nullptr || needed <= size;
  if (data && fits && needed > 0) std::memcpy(data, narrow.data(), needed);
  size = needed;
  if (!fits) return kErrorMoreData;
  return whole ? kOk : kErrorNoUnicodeTranslation;
}

ErrorCode Win32Registry::SetValue(KeyHandle key, const char* name, ValueType type, const void* data,
                                  std::uint32_t size) {
  WideName wideName(name);
  auto wireType = static_cast<DWORD>(type);
  if (!IsText(wireType)) {
    return static_cast<ErrorCode>(
        RegSetValueExW(Key(key), wideName.get(), 0, wireType, static_cast<const BYTE*>(data), size));
  }
  // Every byte, the terminator among them, as the ANSI call converts it.
  std::wstring wide = Wide(std::string_view(static_cast<const char*>(data), size));
  return static_cast<ErrorCode>(RegSetValueExW(Key(key), wideName.get(), 0, wireType,
                                               reinterpret_cast<const BYTE*>(wide.data()),
                                               static_cast<DWORD>(wide.size() * sizeof(wchar_t))));
}

ErrorCode Win32Registry::QueryInfo(KeyHandle key, std::uint32_t& subkeys, std::uint32_t& values) {
  DWORD keys = 0, vals = 0;
  LONG result = RegQueryInfoKeyW(Key(key), nullptr, nullptr, nullptr, &keys, nullptr, nullptr, &vals, nullptr,
                                 nullptr, nullptr, nullptr);
  subkeys = keys;
  values = vals;
  return static_cast<ErrorCode>(result);
}

ErrorCode Win32Registry::EnumValue(KeyHandle key, std::uint32_t index, TextBuffer& name) {
  std::wstring wide(kMaxValueName + 1, L'\0');
  DWORD length = kMaxValueName + 1;
  LONG result = RegEnumValueW(Key(key), index, wide.data(), &length, nullptr, nullptr, nullptr, nullptr);
  name.Clear();
  if (result != ERROR_SUCCESS) return static_cast<ErrorCode>(result);
  return EnumeratedName(std::wstring_view(wide.data(), length), name);
}

ErrorCode Win32Registry::EnumKey(KeyHandle key, std::uint32_t index, TextBuffer& name) {
  wchar_t wide[kMaxKeyName + 1] = {};
  LONG result = RegEnumKeyW(Key(key), index, wide, kMaxKeyName + 1);
  name.Clear();
  if (result != ERROR_SUCCESS) return static_cast<ErrorCode>(result);
  return EnumeratedName(UpToNul(wide, kMaxKeyName + 1), name);
}

ErrorCode Win32Registry::DeleteValue(KeyHandle key, const char* name) {
  return static_cast<ErrorCode>(RegDeleteValueW(Key(key), WideName(name).get()));
}

ErrorCode Win32Registry::DeleteKey(RootKey root, const char* subkey) {
  return static_cast<ErrorCode>(RegDeleteKeyW(RootHandle(root), Wide(subkey).c_str()));
}

}  // namespace qz::platform::win32
