#include <windows.h>

#include "platform/win32/Win32Platform.h"

namespace qz::platform::win32 {
namespace {

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

}  // namespace

ErrorCode Win32Registry::OpenKey(RootKey root, const char* subkey, KeyAccess access, KeyHandle& key) {
  HKEY opened = nullptr;
  LONG result = RegOpenKeyExA(RootHandle(root), subkey, 0, Sam(access), &opened);
  key = result == ERROR_SUCCESS ? reinterpret_cast<KeyHandle>(opened) : 0;
  return static_cast<ErrorCode>(result);
}

ErrorCode Win32Registry::CreateKey(RootKey root, const char* subkey, KeyHandle& key) {
  HKEY opened = nullptr;
  LONG result = RegCreateKeyExA(RootHandle(root), subkey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                                &opened, nullptr);
  key = result == ERROR_SUCCESS ? reinterpret_cast<KeyHandle>(opened) : 0;
  return static_cast<ErrorCode>(result);
}

void Win32Registry::CloseKey(KeyHandle key) { RegCloseKey(Key(key)); }

ErrorCode Win32Registry::QueryValue(KeyHandle key, const char* name, ValueType* type, void* data,
                                    std::uint32_t& size) {
  DWORD found = 0;
  DWORD bytes = size;
  LONG result = RegQueryValueExA(Key(key), name, nullptr, &found, static_cast<BYTE*>(data), &bytes);
  size = bytes;
  if (type) *type = static_cast<ValueType>(found);
  return static_cast<ErrorCode>(result);
}

ErrorCode Win32Registry::SetValue(KeyHandle key, const char* name, ValueType type, const void* data,
                                  std::uint32_t size) {
  return static_cast<ErrorCode>(
      RegSetValueExA(Key(key), name, 0, static_cast<DWORD>(type), static_cast<const BYTE*>(data), size));
}

ErrorCode Win32Registry::QueryInfo(KeyHandle key, std::uint32_t& subkeys, std::uint32_t& values) {
  DWORD keys = 0, vals = 0;
  LONG result = RegQueryInfoKeyA(Key(key), nullptr, nullptr, nullptr, &keys, nullptr, nullptr, &vals, nullptr,
                                 nullptr, nullptr, nullptr);
  subkeys = keys;
  values = vals;
  return static_cast<ErrorCode>(result);
}

ErrorCode Win32Registry::EnumValue(KeyHandle key, std::uint32_t index, TextBuffer& name) {
  DWORD capacity = static_cast<DWORD>(name.capacity());
  LONG result = RegEnumValueA(Key(key), index, name.data(), &capacity, nullptr, nullptr, nullptr, nullptr);
  if (result != ERROR_SUCCESS) name.Clear();
  return static_cast<ErrorCode>(result);
}

ErrorCode Win32Registry::EnumKey(KeyHandle key, std::uint32_t index, TextBuffer& name) {
  LONG result = RegEnumKeyA(Key(key), index, name.data(), static_cast<DWORD>(name.capacity()));
  if (result != ERROR_SUCCESS) name.Clear();
  return static_cast<ErrorCode>(result);
}

ErrorCode Win32Registry::DeleteValue(KeyHandle key, const char* name) {
  return static_cast<ErrorCode>(RegDeleteValueA(Key(key), name));
}

ErrorCode Win32Registry::DeleteKey(RootKey root, const char* subkey) {
  return static_cast<ErrorCode>(RegDeleteKeyA(RootHandle(root), subkey));
}

}  // namespace qz::platform::win32
