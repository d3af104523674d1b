#pragma once
// Shell link files (.lnk) in the published Shell Link binary format, as the
// shell-link component saves them: the header, the target as an item list
// (My Computer, the drive, one file-system item per path component) and as
// link information (the volume and the local base path), then the strings
// in UTF-16. Texts come in Windows-1250.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qz::platform::sim {

// What the file system knows of one component of the target's path.
struct LnkPathItem {
  std::string name;          // Windows-1250, as the path gives it
  bool exists = false;
  bool isDirectory = false;
  std::uint32_t size = 0;
  std::int64_t modified = 0;  // seconds since 1970, UTC
};

struct LnkContents {
  // The target: a full path "X:\..." (items below the drive's root follow
  // in `items`). Empty when no path was set.
  std::string target;
  std::vector<LnkPathItem> items;
  // Strings are stored when set, even when empty.
  std::optional<std::string> description;
  std::optional<std::string> workingDirectory;
  std::optional<std::string> arguments;
};

// The link file's bytes.
std::string BuildShellLink(const LnkContents& link);

}  // namespace qz::platform::sim
