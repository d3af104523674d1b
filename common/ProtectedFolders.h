#pragma once
// The folders that no application may be installed into or removed with:
// drive roots, the Windows, system and maker's folders, the Program Files
// folders, the all-users data folder, the user's profile and every folder of
// the user's Shell Folders key, or any folder above one of them. A
// directory is checked on its text and on the folder it reaches on disk
// (short names made long, links, junctions, substituted and mapped drives
// followed), so that no other spelling smuggles a protected folder through.
// Folders on a network share ("\\server\share\...": a redirected Desktop,
// a mapped drive's files) are compared in that form, like with like.

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

  // The texts a directory may be given in.
  enum class Form {
    kDrive,         // a home directory: "X:\..." alone
    kDriveOrShare,  // below a shell folder: "X:\..." or "\\server\share\..."
  };

  // True when a program may write below or delete `directory`; otherwise
  // `reason` says why, for the log. On disk the directory may resolve to a
  // drive or to a share (a mapped drive), whichever form its text had.
  bool Allows(std::string_view directory, TextBuffer& reason, Form form = Form::kDrive) const;

  const std::vector<std::string>& folders() const { return folders_; }

  // Where `directory` lies on disk, through its nearest part that exists,
  // in the form the folders are compared in ("X:\..." or
  // "\\server\share\..."): links, short names and mapped drives followed.
  platform::ErrorCode ResolveOnDisk(std::string_view directory, std::string& resolved) const;

 private:
  void Add(std::string_view folder);
  bool Protects(std::string_view directory, TextBuffer& reason) const;

  platform::FileSystem& files_;
  std::vector<std::string> folders_;  // as given, in any form, and as they resolve on disk
};

// True when `link` names a ".lnk" file directly inside `folder` (the
// user's Desktop), as the setup program writes the desktop shortcut.
bool IsLinkDirectlyIn(std::string_view link, std::string_view folder);

}  // namespace qz
