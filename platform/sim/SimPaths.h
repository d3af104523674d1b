#pragma once
// Maps Windows paths onto the simulated machine's folder, as Wine lays out a
// prefix: "C:\x" is <machine>/drive_c/x, a relative path is relative to the
// process's working directory (the installation medium). Components match
// without regard to case; new names keep the case they were given. Host
// names are UTF-8, Windows names Windows-1250.
//
// Network shares the machine reaches: "\\server\share\x" is
// <machine>/unc/<server>/<share>/x (server and share in small letters), for
// the shares a test made; a drive mapped to a share is a host link
// drive_<x> -> unc/<server>/<share>, so that what lies on it resolves to the
// share, as Windows resolves a mapped drive.

#include <sys/stat.h>

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Errors.h"

namespace qz::platform::sim {

struct ResolvedPath {
  ErrorCode error = kOk;       // a malformed path: 123, 206 or 3
  std::string host;            // the host path (valid when error is 0)
  bool exists = false;         // the final component exists
  bool isDirectory = false;    // ... and is a directory
  bool parentExists = false;   // the directory that holds it exists
  bool isDriveRoot = false;    // the path names a drive's root
  struct stat info {};         // the host's status of what exists
  std::string name;            // the final component as given (Windows-1250)
};

class DirectoryCache;

class SimPaths {
 public:
  SimPaths(std::filesystem::path machineRoot, std::filesystem::path workingDir);
  ~SimPaths();
  SimPaths(const SimPaths&) = delete;
  SimPaths& operator=(const SimPaths&) = delete;

  // Resolves a full path. With allowWildcards the last component may hold
  // '*' and '?' (it is then not looked up).
  ResolvedPath Resolve(std::string_view windowsPath, bool allowWildcards = false) const;

  // The host directory of a drive letter, made on first use.
  std::filesystem::path DriveRoot(char letter) const;
  // The drive letter a resolved host path lies on, or 0 (outside every drive).
  char DriveOf(const std::string& hostPath) const;
  // The Windows path ("X:\..." or "\\server\share\...") of a host path,
  // where every link on the way has been followed (realpath); false when it
  // lies on no drive or share of the machine. `convertible` is false when
  // it holds a name Windows-1250 lacks, which `windowsPath` then shows with
  // a '?' in place of each such character.
  bool WindowsPathOf(const std::string& canonicalHostPath, std::string& windowsPath, bool& convertible) const;
  // The host folder of a network share ("\\server\share"), whether or not
  // the share was made.
  std::filesystem::path ShareRoot(std::string_view server, std::string_view share) const;

  const std::filesystem::path& machineRoot() const { return root_; }

 private:
  std::filesystem::path root_;
  std::filesystem::path workingDir_;
  mutable std::array<bool, 26> madeDrives_{};
  // The host components of the machine's folder and the working directory.
  std::vector<std::string> rootParts_;
  std::vector<std::string> workingParts_;
  std::string drivePrefix_;  // "<machine>/drive_", as host paths spell it
  std::string workingPath_;  // the working directory, joined the same way
  // Listings of the machine's directories, for names that differ in case.
  std::unique_ptr<DirectoryCache> cache_;
};

// True when a Windows name matches a search pattern ("*.*", "*.DAT", "a?c")
// as FindFirstFile matches: without regard to case, and also by the short
// 8.3 name that Windows gives a long name.
bool MatchesPattern(std::string_view name, std::string_view pattern);
// The short 8.3 name of a long name ("Program Files" is "PROGRA~1").
std::string ShortNameOf(std::string_view name);

}  // namespace qz::platform::sim
