#pragma once
// The real machine: thin wrappers over the Win32 calls.

#include "platform/Platform.h"

namespace qz::platform::win32 {

class Win32FileSystem : public FileSystem {
 public:
  PathText WindowsDir() override;
  PathText SystemDir() override;
  ErrorCode MakeDirectory(const char* path) override;
  ErrorCode CopyFileTo(const char* source, const char* target, bool failIfExists) override;
  ErrorCode GetAttributes(const char* path, std::uint32_t& attributes) override;
  ErrorCode SetAttributes(const char* path, std::uint32_t attributes) override;
  ErrorCode RemoveFile(const char* path) override;
  ErrorCode RemoveDir(const char* path) override;
  std::unique_ptr<DirectorySearch> FindFiles(const char* pattern, ErrorCode& error) override;
  std::unique_ptr<InputFile> OpenForReading(const char* path, ShareMode share, ErrorCode& error) override;
  std::unique_ptr<OutputFile> OpenForAppending(const char* path, ShareMode share, ErrorCode& error) override;
  void ErrorMessage(ErrorCode code, TextBuffer& text) override;
};

class Win32Registry : public RegistryStore {
 public:
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
};

class Win32Clock : public Clock {
 public:
  LocalTime Now() override;
};

// Everything of the real machine, for a program's WinMain.
class Win32Machine {
 public:
  Platform& platform() { return platform_; }

 private:
  Win32FileSystem files_;
  Win32Registry registry_;
  Win32Clock clock_;
  Platform platform_{files_, registry_, clock_};
};

}  // namespace qz::platform::win32
