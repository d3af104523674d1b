#pragma once
// The simulated machine's registry: a tree kept in memory and in a REGEDIT4
// file (Windows-1250). The file is rewritten atomically (a temporary file
// and a rename) after every change, so a program that dies loses nothing it
// had stored, and it is locked while a program has it open.

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/RegistryStore.h"

namespace qz::platform::sim {

class SimRegistry : public RegistryStore {
 public:
  // Loads the file (an empty registry when it is missing) and locks it;
  // throws std::runtime_error when another program holds the lock.
  explicit SimRegistry(std::filesystem::path file);
  ~SimRegistry() override;

  ErrorCode OpenKey(RootKey root, const char* subkey, KeyAccess access, KeyHandle& key) override;
  ErrorCode CreateKey(RootKey root, const char* subkey, KeyHandle& key) override;
  void CloseKey(KeyHandle key) override;
  ErrorCode QueryValue(KeyHandle key, const char* name, ValueType* type, void* data,
                       std::uint32_t& size) override;
  ErrorCode SetValue(KeyHandle key, const char* name, ValueType type, const void* data,
                     std::uint32_t size) override;
  ErrorCode QueryInfo(KeyHandle key, std::uint32_t& subkeys, std::uint32_t& values) override;
  ErrorCode EnumValue(KeyHandle key, std::uint32_t index, TextBuffer& name) override;
  ErrorCode EnumKey(KeyHandle key, std::uint32_t index, TextBuffer& name) override;
  ErrorCode DeleteValue(KeyHandle key, const char* name) override;
  ErrorCode DeleteKey(RootKey root, const char* subkey) override;

  // The whole registry as REGEDIT4 text (what the file holds).
  std::string ExportText() const;
  // A value as the export writes it.
  struct ExportedValue {
    std::string name;                    // "" for the default value
    std::string line;                    // "name"=data
    std::optional<std::uint32_t> dword;  // the number of a DWORD value
  };
  // Every key, by its full path, with its values, in the export's order.
  using KeyVisitor = std::function<void(const std::string& path, const std::vector<ExportedValue>& values)>;
  void ForEachKey(const KeyVisitor& visit) const;
  // Test hook: creating keys and storing or deleting values at or below the
  // key fail with 5 (access denied), as under a key the user may not write.
  void DenyWrites(RootKey root, const char* subkey);
  // Test hook: the program dies at once (exit status 137), as when it is
  // killed, when it is about to store its `nth` value at or below one of
  // the keys ("HKEY_LOCAL_MACHINE\SOFTWARE\..."); what it stored before is
  // in the file.
  void KillAtWrite(int nth, std::vector<std::string> keyPaths);
  // Test hook: stores a string value as Windows holds one that has
  // characters Windows-1250 lacks (a folder named in Cyrillic, say): it is
  // read as `shown`, with a '?' in place of each, and 1113. The mark lasts
  // for this run; the file holds `shown`.
  ErrorCode SetUnconvertibleString(KeyHandle key, const char* name, const char* shown);
  // Number of keys still open (each must be closed by its user).
  std::size_t OpenHandleCount() const { return handles_.size(); }

 private:
  struct Value {
    std::string name;
    std::uint32_t type;
    std::string data;
    bool unconvertible = false;  // SetUnconvertibleString
  };
  struct Key {
    std::string name;
    Key* parent = nullptr;
    bool deleted = false;
    bool denyWrites = false;
    std::vector<std::shared_ptr<Key>> subkeys;  // sorted by upper-cased name
    std::vector<Value> values;                  // in the order of creation
  };
  struct Handle {
    std::shared_ptr<Key> key;
    KeyAccess access;
  };

  std::shared_ptr<Key> FindKey(RootKey root, const char* subkey, ErrorCode& error, bool create);
  Handle* Lookup(KeyHandle key);
  bool WritesDenied(const Key& key) const;
  std::string PathOf(const Key& key) const;
  void Load();
  void Save();
  static void VisitKey(const Key& key, const std::string& path, const KeyVisitor& visit);
  Key* KeyForPath(const std::string& path, bool create);

  std::filesystem::path file_;
  int lockFd_ = -1;
  std::shared_ptr<Key> machine_, user_, users_;
  std::map<KeyHandle, Handle> handles_;
  KeyHandle nextHandle_ = 0x100;
  int killAt_ = 0;
  int killWrites_ = 0;
  std::vector<std::string> killUnder_;
};

}  // namespace qz::platform::sim
