#pragma once
// Registry access by key-path text ("HKEY_LOCAL_MACHINE\SOFTWARE\..."). Every
// operation writes what it does and how it ended to the attached log.

#include <cstdint>
#include <string_view>

#include "common/LogFile.h"
#include "platform/RegistryStore.h"
#include "text/Text.h"

namespace qz {

class Registry {
 public:
  explicit Registry(platform::RegistryStore& store) : store_(store) {}

  void AttachLog(LogFile* log) { log_ = log; }

  bool IsValidKey(std::string_view keyPath);
  // Reads a string of at most 254 characters; a longer value fails to read.
  // The value is cut to `value`'s capacity.
  bool GetValueString(std::string_view keyPath, const char* name, TextBuffer& value);
  bool GetValueDWord(std::string_view keyPath, const char* name, std::uint32_t& value);
  bool GetValueBinary(std::string_view keyPath, const char* name, void* buffer, std::uint32_t size);
  bool SetValueString(std::string_view keyPath, const char* name, const char* text);
  bool SetValueDWord(std::string_view keyPath, const char* name, std::uint32_t value);
  bool SetValueBinary(std::string_view keyPath, const char* name, const void* bytes, std::uint32_t count);
  // Deletes the key with all its values and subkeys, bottom-up.
  bool DeleteKey(std::string_view keyPath);
  // True when the key is not there (opening it finds nothing); no log line.
  bool IsKeyGone(std::string_view keyPath);
  // The number of direct subkeys, or -1.
  int GetSubkeys(std::string_view keyPath);

  // Splits a key path at its first backslash into a root key and the subkey
  // path. False when there is no backslash, the root name is unknown
  // (compared case-sensitively), or the path is longer than 511 characters,
  // which a key path never is: such a path names no key rather than a
  // shortened one.
  static bool SplitKeyPath(std::string_view keyPath, platform::RootKey& root, KeyPathText& subkey);

 private:
  void Print(const char* format, ...) QZ_PRINTF(2, 3);
  bool OpenKeyRead(std::string_view keyPath, platform::KeyHandle& key);
  bool OpenKeyWrite(std::string_view keyPath, platform::KeyHandle& key);
  bool ReadValue(std::string_view keyPath, const char* name, void* data, std::uint32_t& size);
  bool WriteValue(std::string_view keyPath, const char* name, platform::ValueType type, const void* data,
                  std::uint32_t size);

  platform::RegistryStore& store_;
  LogFile* log_ = nullptr;
  KeyPathText line_;
};

}  // namespace qz
