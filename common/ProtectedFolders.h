#pragma once
// The folders that no application may be installed into or removed with:
// drive roots, the Windows, system and maker's folders, the Program Files
// folders, the all-users data folder, the user's profile and every folder of
// the user's Shell Folders key, or any folder above one of them. A
// directory is checked on its text and on the folder it reaches on disk
// (short names made long, links, junctions and substituted drives
// followed), so that no other spelling smuggles a protected folder through.

#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/RegistryStore.h"
#include "text/Text.h"

namespace qz {

class ProtectedFolders {
 public:
  // Gathers the folders from the machine, without log lines.
  ProtectedFolders(platform::FileSystem& files, platform::RegistryStore& registry);

  // True when a program may write below or delete `directory`; otherwise
  // `reason` says why, for the log.
  bool Allows(std::string_view directory, TextBuffer& reason) const;

  const std::vector<std::string>& folders() const { return folders_; }

 private:
  void Add(std::string_view folder);
  bool Protects(std::string_view directory, TextBuffer& reason) const;
  // The final path of `directory`, through its nearest part that exists.
  platform::ErrorCode ResolveOnDisk(std::string_view directory, std::string& resolved) const;

  platform::FileSystem& files_;
  std::vector<std::string> folders_;  // as given, and as they resolve on disk
};

// True when `link` names a ".lnk" file directly inside `folder` (the
// user's Desktop), as the setup program writes the desktop shortcut.
bool IsLinkDirectlyIn(std::string_view link, std::string_view folder);

}  // namespace qz
