#pragma once
// The registry, shaped after the Win32 registry calls. Key and value names
// match without regard to case and keep the case they were created with.

#include <cstdint>

#include "platform/Errors.h"
#include "text/Text.h"

namespace qz::platform {

enum class RootKey { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig };

enum class ValueType : std::uint32_t { String = 1, Binary = 3, DWord = 4 };

enum class KeyAccess { Read, Write, All };

// An open key; 0 is no key.
using KeyHandle = std::uintptr_t;

class RegistryStore {
 public:
  virtual ~RegistryStore() = default;

  virtual ErrorCode OpenKey(RootKey root, const char* subkey, KeyAccess access, KeyHandle& key) = 0;
  // Opens the key or creates it with every missing key above it.
  virtual ErrorCode CreateKey(RootKey root, const char* subkey, KeyHandle& key) = 0;
  virtual void CloseKey(KeyHandle key) = 0;

  // Reads a value into `data` of `size` bytes; `size` becomes the value's
  // size. 234 when the value is larger than the buffer, 2 when missing.
  // `type` may be null. A string comes in Windows-1250: 1113 when it holds
  // a character Windows-1250 lacks, with the value read all the same and a
  // '?' in place of each such character (good for showing, and for a
  // folder that must stay protected, never for acting on).
  virtual ErrorCode QueryValue(KeyHandle key, const char* name, ValueType* type, void* data,
                               std::uint32_t& size) = 0;
  // A string's data includes its terminating zero.
  virtual ErrorCode SetValue(KeyHandle key, const char* name, ValueType type, const void* data,
                             std::uint32_t size) = 0;
  virtual ErrorCode QueryInfo(KeyHandle key, std::uint32_t& subkeys, std::uint32_t& values) = 0;
  // Names of at most capacity - 1 characters (234 for a longer one); 259
  // past the last one; 1113 for a name that holds a character Windows-1250
  // lacks, given with '?' in its place.
  virtual ErrorCode EnumValue(KeyHandle key, std::uint32_t index, TextBuffer& name) = 0;
  virtual ErrorCode EnumKey(KeyHandle key, std::uint32_t index, TextBuffer& name) = 0;
  virtual ErrorCode DeleteValue(KeyHandle key, const char* name) = 0;
  // Deletes a key that has no subkeys (5 when it has some).
  virtual ErrorCode DeleteKey(RootKey root, const char* subkey) = 0;
};

}  // namespace qz::platform
