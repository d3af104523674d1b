#include "common/Registry.h"

#include <cstring>

namespace qz {
namespace {

using platform::KeyHandle;
using platform::kOk;
using platform::RootKey;

constexpr std::size_t kMaxKeyPath = 511;
constexpr std::uint32_t kStringCapacity = 255;
constexpr std::size_t kEnumNameCapacity = 255;

struct RootName {
  const char* name;
  RootKey root;
};
constexpr RootName kRoots[] = {
    {"HKEY_CLASSES_ROOT", RootKey::ClassesRoot},   {"HKEY_CURRENT_USER", RootKey::CurrentUser},
    {"HKEY_LOCAL_MACHINE", RootKey::LocalMachine}, {"HKEY_USERS", RootKey::Users},
    {"HKEY_CURRENT_CONFIG", RootKey::CurrentConfig},
};

}  // namespace

void Registry::Print(const char* format, ...) {
  if (!log_) return;
  va_list args;
  va_start(args, format);
  line_.FormatV(format, args);
  va_end(args);
  log_->Write(line_.view());
}

bool Registry::SplitKeyPath(std::string_view keyPath, RootKey& root, KeyPathText& subkey) {
  subkey.Clear();
  if (keyPath.size() > kMaxKeyPath) return false;
  std::size_t slash = keyPath.find('\\');
  if (slash == std::string_view::npos) return false;
  std::string_view rootName = keyPath.substr(0, slash);
  for (const RootName& known : kRoots) {
    if (rootName == known.name) {
      root = known.root;
      subkey.Assign(keyPath.substr(slash + 1));
      return true;
    }
  }
  return false;
}

bool Registry::OpenKeyRead(std::string_view keyPath, KeyHandle& key) {
  RootKey root;
  KeyPathText subkey;
  if (!SplitKeyPath(keyPath, root, subkey) ||
      store_.OpenKey(root, subkey.c_str(), platform::KeyAccess::Read, key) != kOk) {
    Print(" ERROR\n");
    return false;
  }
  return true;
}

bool Registry::OpenKeyWrite(std::string_view keyPath, KeyHandle& key) {
  RootKey root;
  KeyPathText subkey;
  return SplitKeyPath(keyPath, root, subkey) && store_.CreateKey(root, subkey.c_str(), key) == kOk;
}

bool Registry::IsValidKey(std::string_view keyPath) {
  Print("Registry : IsValidKey [%.*s] = ", static_cast<int>(keyPath.size()), keyPath.data());
  KeyHandle key;
  if (!OpenKeyRead(keyPath, key)) return false;
  store_.CloseKey(key);
  Print("OK\n");
  return true;
}

bool Registry::ReadValue(std::string_view keyPath, const char* name, void* data, std::uint32_t& size) {
  KeyHandle key;
  if (!OpenKeyRead(keyPath, key)) return false;
  platform::ErrorCode result = store_.QueryValue(key, name, nullptr, data, size);
  store_.CloseKey(key);
  if (result != kOk) {
    Print(" ERROR\n");
    return false;
  }
  return true;
}

bool Registry::GetValueString(std::string_view keyPath, const char* name, TextBuffer& value) {
  Print("Registry : GetValueString [%.*s\\%s] = ", static_cast<int>(keyPath.size()), keyPath.data(), name);
  FixedText<kStringCapacity> read;
  std::uint32_t size = kStringCapacity;
  if (!ReadValue(keyPath, name, read.data(), size)) return false;
  // The stored text need not end in a zero; it ends within the buffer.
  read.data()[size < kStringCapacity ? size : kStringCapacity - 1] = '\0';
  value.Assign(read.view());
  Print(" %s\n", value.c_str());
  return true;
}

bool Registry::GetValueDWord(std::string_view keyPath, const char* name, std::uint32_t& value) {
  Print("Registry : GetValueDWord [%.*s\\%s] = ", static_cast<int>(keyPath.size()), keyPath.data(), name);
  unsigned char bytes[4] = {};
  std::uint32_t size = sizeof bytes;
  if (!ReadValue(keyPath, name, bytes, size)) return false;
  value = static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
          static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
  Print(" %u\n", value);
  return true;
}

bool Registry::GetValueBinary(std::string_view keyPath, const char* name, void* buffer, std::uint32_t size) {
  Print("Registry : GetValueBinary [%.*s\\%s] = ", static_cast<int>(keyPath.size()), keyPath.data(), name);
  if (!ReadValue(keyPath, name, buffer, size)) return false;
  Print("...OK\n");
  return true;
}

bool Registry::WriteValue(std::string_view keyPath, const char* name, platform::ValueType type, const void* data,
                          std::uint32_t size) {
  KeyHandle key;
  if (!OpenKeyWrite(keyPath, key)) return false;
  platform::ErrorCode result = store_.SetValue(key, name, type, data, size);
  store_.CloseKey(key);
  if (result != kOk) {
    Print(" ERROR\n");
    return false;
  }
  return true;
}

bool Registry::SetValueString(std::string_view keyPath, const char* name, const char* text) {
  Print("Registry : SetValueString [%.*s\\%s] = %s\n", static_cast<int>(keyPath.size()), keyPath.data(), name, text);
  return WriteValue(keyPath, name, platform::ValueType::String, text,
                    static_cast<std::uint32_t>(std::strlen(text) + 1));
}

bool Registry::SetValueDWord(std::string_view keyPath, const char* name, std::uint32_t value) {
  Print("Registry : SetValueDWord [%.*s\\%s] = %u\n", static_cast<int>(keyPath.size()), keyPath.data(), name, value);
  unsigned char bytes[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                            static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
  return WriteValue(keyPath, name, platform::ValueType::DWord, bytes, sizeof bytes);
}

bool Registry::SetValueBinary(std::string_view keyPath, const char* name, const void* bytes, std::uint32_t count) {
  Print("Registry : SetValueBinary [%.*s\\%s] ...\n", static_cast<int>(keyPath.size()), keyPath.data(), name);
  return WriteValue(keyPath, name, platform::ValueType::Binary, bytes, count);
}

bool Registry::DeleteKey(std::string_view keyPath) {
  Print("Registry : DeleteKey Values [%.*s] ...", static_cast<int>(keyPath.size()), keyPath.data());
  RootKey root;
  KeyPathText subkey;
  KeyHandle key;
  if (!SplitKeyPath(keyPath, root, subkey) ||
      store_.OpenKey(root, subkey.c_str(), platform::KeyAccess::All, key) != kOk) {
    Print("ERROR (OpenKey)\n");
    return false;
  }
  std::uint32_t subkeys = 0, values = 0;
  store_.QueryInfo(key, subkeys, values);
  // Index 0 every time: each pass removes the value just found.
  for (std::uint32_t i = 0; i < values; ++i) {
    FixedText<kEnumNameCapacity> name;
    if (store_.EnumValue(key, 0, name) != kOk || store_.DeleteValue(key, name.c_str()) != kOk) {
      Print("ERROR (DeleteValue)\n");
      store_.CloseKey(key);
      return false;
    }
  }
  Print("OK\n");
  store_.QueryInfo(key, subkeys, values);
  for (std::uint32_t i = 0; i < subkeys; ++i) {
    FixedText<kEnumNameCapacity> name;
    // A subkey path longer than a key path can be is refused by the call
    // below; it is never cut into the name of another key.
    FixedText<kMaxKeyPath + 1 + kEnumNameCapacity + 1> child;
    store_.EnumKey(key, 0, name);
    child.Format("%.*s\\%s", static_cast<int>(keyPath.size()), keyPath.data(), name.c_str());
    if (name.empty() || !DeleteKey(child.view())) {
      store_.CloseKey(key);
      return false;
    }
  }
  store_.CloseKey(key);
  Print("Registry : DeleteKey [%.*s] ...", static_cast<int>(keyPath.size()), keyPath.data());
  if (store_.DeleteKey(root, subkey.c_str()) != kOk) {
    Print("ERROR\n");
    return false;
  }
  Print("OK\n");
  return true;
}

bool Registry::IsKeyGone(std::string_view keyPath) {
  RootKey root;
  KeyPathText subkey;
  KeyHandle key;
  if (!SplitKeyPath(keyPath, root, subkey)) return false;
  platform::ErrorCode error = store_.OpenKey(root, subkey.c_str(), platform::KeyAccess::Read, key);
  if (error == kOk) store_.CloseKey(key);
  return error == platform::kErrorFileNotFound;
}

int Registry::GetSubkeys(std::string_view keyPath) {
  KeyHandle key;
  if (!OpenKeyRead(keyPath, key)) return -1;
  Print("Registry : GetSubkeys [%.*s] = ", static_cast<int>(keyPath.size()), keyPath.data());
  std::uint32_t subkeys = 0, values = 0;
  platform::ErrorCode result = store_.QueryInfo(key, subkeys, values);
  store_.CloseKey(key);
  if (result != kOk) {
    Print(" ERROR\n");
    return -1;
  }
  Print("%d\n", static_cast<int>(subkeys));
  return static_cast<int>(subkeys);
}

}  // namespace qz
