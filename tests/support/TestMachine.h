#pragma once
// A machine for tests that run on both builds: natively a fresh simulated
// machine in a temporary folder, under Wine the real Win32 platform with a
// scratch directory and a scratch registry key of its own.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace qz::test {

class TestMachine {
 public:
  static std::unique_ptr<TestMachine> Create();
  virtual ~TestMachine() = default;

  virtual platform::Platform& platform() = 0;
  // An empty directory of this test's own, as a Windows path without a
  // trailing backslash; removed with everything in it afterwards.
  const std::string& scratchDir() const { return scratchDir_; }
  // A key of this test's own below HKEY_CURRENT_USER; deleted afterwards.
  const std::string& scratchKey() const { return scratchKey_; }
  // True on the real Win32 platform (under Wine).
  virtual bool IsWin32() const = 0;
  // True under Wine, which is Win32 but not Windows.
  virtual bool IsWine() const = 0;
  // The host user is root, whom the host lets write to a file without
  // write bits (Wine keeps the read-only attribute in them).
  virtual bool HostUserIsRoot() const = 0;

  // Writes a file's bytes unchanged (test input), replacing any file.
  virtual void WriteFile(const std::string& path, const std::string& bytes) = 0;
  // Reads a whole file's bytes, or "<missing>".
  std::string ReadFile(const std::string& path);
  // Makes `link` a symbolic link to `target` (Windows paths), as the host
  // makes one: natively a host symbolic link, under Wine one made by the
  // host's ln (Wine's CreateSymbolicLink makes nothing), on Windows
  // CreateSymbolicLink. False when it could not be made.
  virtual bool MakeLink(const std::string& link, const std::string& target, bool directory) = 0;
  // The short 8.3 form of an existing path, as the machine names it.
  virtual std::string ShortPath(const std::string& path) = 0;
  // A file's last-write time in Windows' units (100 ns since 1601); 0 when
  // it cannot be read.
  virtual std::uint64_t LastWriteTime(const std::string& path) = 0;
  virtual void SetLastWriteTime(const std::string& path, std::uint64_t time) = 0;
  // The reads of the file system's copies that follow (platform/CopyReads.h).
  virtual void ShapeCopyReads(std::vector<std::size_t> limits) = 0;

  // Texts with letters Windows-1250 lacks, as the system holds them on a
  // machine with another code page (kForeignName, Cyrillic), made beside
  // the programs; each returns what the programs see of it (kForeignShown).
  static constexpr const char* kForeignShown = "??????";
  // A string value "<parent>\<name>" below HKEY_CURRENT_USER.
  virtual std::string SetForeignString(const std::string& subkey, const char* valueName,
                                       const std::string& parent = "C:") = 0;
  // An empty directory "<dir>\<name>", and a directory link to it.
  virtual std::string MakeForeignDirectory(const std::string& dir, const std::string& link) = 0;

 protected:
  void CreateScratch();
  void RemoveScratch();
  void RemoveTreeQuietly(const std::string& dir);
  // Removes a link itself, never what it points to.
  virtual void RemoveLink(const std::string& path, bool directory);

  std::string scratchDir_;
  std::string scratchKey_;
};

}  // namespace qz::test
