#pragma once
// The simulated machine's files: Win32 semantics and error codes over a host
// folder. The read-only attribute lives in the file's write bits and is
// honoured even when the process runs as root; hidden and system live in
// the extended attribute where Wine keeps them.

#include <map>
#include <set>
#include <string>

#include "platform/CopyReads.h"
#include "platform/FileSystem.h"
#include "platform/sim/SimPaths.h"

namespace qz::platform::sim {

class SimFileSystem : public FileSystem {
 public:
  explicit SimFileSystem(const SimPaths& paths);

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

  // Creates or replaces a file with the bytes, as CreateFile (CREATE_ALWAYS,
  // no sharing) and WriteFile do: for the shell's link files.
  ErrorCode WriteWholeFile(const char* path, const std::string& bytes);

  // Test hooks.
  // Every open, copy, delete or removal of the file fails with 32 (sharing
  // violation), as when another program holds it open.
  void SetInUse(const char* path, bool inUse);
  // Creating directories, copying and writing on the drive fail with 112.
  void SetDriveFull(char letter, bool full);
  // The reads of the copies that follow (platform/CopyReads.h).
  void ShapeCopyReads(std::vector<std::size_t> limits) { copyReads_.Shape(std::move(limits)); }

  // Bookkeeping of open files, for share modes (kept by the file objects).
  struct OpenRecord {
    bool reads;
    bool writes;
    ShareMode share;
  };
  void Register(const std::string& host, const OpenRecord& record, const void* owner);
  void Unregister(const std::string& host, const void* owner);
  bool IsDriveFull(const std::string& host) const;

 private:
  std::string LongNames(std::string_view path);
  bool ConflictsWithOpen(const std::string& host, bool reads, bool writes, ShareMode share) const;
  bool IsInUse(const std::string& host) const;

  const SimPaths& paths_;
  std::map<std::string, std::map<const void*, OpenRecord>> open_;
  std::set<std::string> inUse_;
  std::set<char> fullDrives_;
  CopyReads copyReads_;
};

}  // namespace qz::platform::sim
