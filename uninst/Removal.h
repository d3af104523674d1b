#pragma once
// The removal of one installed application: its files, its program group,
// its desktop shortcut and its registry entries. Each step logs what it
// does and adds a list line for each directory entry it deletes; none shows
// anything else, and none stops the others (the progress page runs them in
// turn and shows a box for each that fails).

#include <string_view>

#include "common/ProgressList.h"
#include "common/ProtectedFolders.h"
#include "text/Text.h"
#include "uninst/UninstallContext.h"

namespace qz {

// Whether the application's key exists: only then is there anything to
// remove.
bool IsRegistered(UninstallContext& context, std::string_view appName);

class Removal {
 public:
  // `appName` is one that ApplicationNameFrom accepted: it fits a name's
  // buffer, so every key and folder is built from it in full.
  Removal(UninstallContext& context, std::string_view appName, ProgressList& progress);

  // Reads "Version" and "Home Dir" from the application's key. False when
  // either is missing (an interrupted installation), each logged on a line
  // of its own; without "Home Dir" the program files are not removed. The
  // other steps run all the same.
  bool GetDirs();

  // The home directory that GetDirs read, when it is the application's own
  // (ProtectedFolders, the drive form); the refusal is logged as the access
  // denied failure (5) with its reason. False, with nothing removed, when
  // there is no home directory or it is refused; otherwise RemoveFolder's
  // outcome.
  bool RemoveProgramFiles();

  // The program group: the application's folder in the user's Programs
  // folder, which may lie on a share. False, with nothing removed, when the
  // Programs folder is not registered, when the group's path does not fit
  // (logged as 206) or when the folder is refused (logged as 5); otherwise
  // RemoveFolder's outcome.
  bool RemoveShortcuts();

  // The desktop shortcut, then the application's key, then its uninstall
  // entry, then the maker's key once no application is left in it. The
  // shortcut goes only when "link" names a file right on the user's
  // desktop (anything else is logged and left); its deletion is logged
  // only when it fails (one already gone is no failure), and never fails
  // the step. A key already gone counts
  // as removed (logged). False when the application's key or the uninstall
  // entry stays; the uninstall entry is left whenever the application's key
  // stays, so that the removal can be run again. The maker's key is
  // best effort.
  bool RemoveRegistration();

  // A folder that is itself a link (a symbolic link or junction) loses the
  // link alone (RemoveLink); any other is removed with its tree
  // (RemoveTree).
  bool RemoveFolder(const char* directory);

  // Removes the link itself, never what it points to; logged as a link,
  // then as a directory's removal. False when it stays.
  bool RemoveLink(const char* link);

  // Removes `directory` and what lies below it, depth first, the directory
  // last, links as links. A file that cannot be deleted (or whose path does
  // not fit: 206) is logged and the walk goes on. A subdirectory that cannot
  // be removed (or whose path does not fit: 206, or that cannot be listed)
  // ends this walk and its parents': the entries not yet reached and the
  // directories above stay. A directory that cannot be listed (missing, or
  // its search pattern does not fit) is false with nothing logged. False if
  // anything stays.
  bool RemoveTree(const char* directory);

  const PathText& homeDir() const { return homeDir_; }

 private:
  // An emptied directory, or a link to one: its list line, then its
  // removal, logged. False when it stays.
  bool RemoveDirEntry(const char* directory);
  // Whether the shared rule proves the folder the application's own; a
  // refusal is logged.
  bool MayRemove(const TextBuffer& directory, ProtectedFolders::Form form = ProtectedFolders::Form::kDrive);
  void RemoveDesktopLink(const TextBuffer& link);
  bool DeleteKeyIfThere(std::string_view key);

  UninstallContext& ctx_;
  ProgressList& progress_;
  NameText appName_;
  PathText homeDir_;
};

}  // namespace qz
