#pragma once
// The real machine: thin wrappers over the Win32 calls.

#include "platform/CopyReads.h"
#include "platform/Platform.h"

namespace qz::platform::win32 {

class Win32FileSystem : public FileSystem {
 public:
  PathText WindowsDir() override;
  PathText SystemDir() override;
  std::vector<std::string> SystemFolders() override;
  ErrorCode FinalPath(const char* path, PathText& finalPath) override;
  ErrorCode MakeDirectory(const char* path) override;
  using FileSystem::CopyFileTo;
  ErrorCode CopyFileTo(const char* source, const char* target, bool failIfExists,
                       std::uint32_t* copiedAttributes) override;
  ErrorCode GetAttributes(const char* path, std::uint32_t& attributes) override;
  ErrorCode SetAttributes(const char* path, std::uint32_t attributes) override;
  ErrorCode RemoveFile(const char* path) override;
  ErrorCode RemoveDir(const char* path) override;
  std::unique_ptr<DirectorySearch> FindFiles(const char* pattern, ErrorCode& error) override;
  std::unique_ptr<InputFile> OpenForReading(const char* path, ShareMode share, ErrorCode& error) override;
  std::unique_ptr<OutputFile> OpenForAppending(const char* path, ShareMode share, ErrorCode& error) override;
  void ErrorMessage(ErrorCode code, TextBuffer& text) override;

  // Test hook: the reads of the copies that follow (platform/CopyReads.h).
  void ShapeCopyReads(std::vector<std::size_t> limits) { copyReads_.Shape(std::move(limits)); }

 private:
  static constexpr std::size_t kCopyBufferSize = 64 * 1024;
  std::unique_ptr<char[]> copyBuffer_;  // made at the first copy, kept for the next
  CopyReads copyReads_;
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

class Win32UserInterface : public UserInterface {
 public:
  Win32UserInterface();
  ~Win32UserInterface() override;
  int RunDialog(DialogHandler& handler) override;
  int ShowMessage(const char* text, const char* caption, Buttons buttons, Icon icon) override;
  std::unique_ptr<Bitmap> LoadBitmapFile(const char* path) override;
  void RunMainWindow(const char* caption, MainWindowHandler& handler) override;
  void CloseMainWindow() override;
  const char* ProgramName() override;

  struct State;  // the windows open, kept in Win32UserInterface.cpp

 private:
  std::unique_ptr<State> state_;
};

class Win32Shell : public Shell {
 public:
  HResult Initialize() override;
  void Uninitialize() override;
  std::unique_ptr<ShellLink> CreateLink(HResult& result) override;
  HResult QueryPersistFile(ShellLink& link) override;
};

// Made first of the machine, so before anything looks at a path: a look
// at an empty removable drive, or at a file the system cannot open, fails
// with its error code instead of opening a system box that waits for a
// click (which would stop an unattended run).
class QuietSystemErrors {
 public:
  QuietSystemErrors();
};

// Everything of the real machine, for a program's WinMain, which makes it
// before anything else.
class Win32Machine {
 public:
  Platform& platform() { return platform_; }
  Win32FileSystem& files() { return files_; }

 private:
  QuietSystemErrors quietErrors_;
  Win32FileSystem files_;
  Win32Registry registry_;
  Win32Clock clock_;
  Win32UserInterface ui_;
  Win32Shell shell_;
  Platform platform_{files_, registry_, clock_, ui_, shell_};
};

}  // namespace qz::platform::win32
