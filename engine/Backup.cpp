#include "engine/Backup.h"

#include "common/ProtectedFolders.h"
#include "common/SafePaths.h"
#include "engine/SetupMessages.h"
#include "engine/StepSupport.h"

namespace qz {
namespace {

using platform::ErrorCode;
using platform::kOk;

// Starts listing a directory ("%s\*.*"); null when it cannot be listed. A
// pattern too long for the platform is refused with a log line of its own.
std::unique_ptr<platform::DirectorySearch> ListDirectory(StepContext& ctx, std::string_view directory) {
  WideText pattern;
  bool fits = pattern.Format("%.*s\\*.*", static_cast<int>(directory.size()), directory.data()) && FitsPath(pattern);
  if (!fits) {
    ctx.log.Print("Könyvtár olvasás : %s...", pattern.c_str());
    ctx.log.LogError(platform::kErrorFilenameTooLong);
    return nullptr;
  }
  ErrorCode error = kOk;
  return ctx.platform.files.FindFiles(pattern.c_str(), error);
}

bool JoinPath(WideText& path, std::string_view directory, const TextBuffer& name) {
  return path.Format("%.*s\\%s", static_cast<int>(directory.size()), directory.data(), name.c_str()) &&
         FitsPath(path);
}

// One copy of a tree into the backup: the protected folders, gathered once.
struct TreeCopy {
  StepContext& ctx;
  ProtectedFolders folders;
};

// Whether the backup may read through a linked directory, with the log
// line that says so; `target` is where the link leads. `real` is where the
// directory holding the link lies on disk.
bool MayReadThroughLink(TreeCopy& copy, const TextBuffer& link, std::string_view real, std::string& target) {
  LogFile& log = copy.ctx.log;
  LogText reason;
  if (copy.folders.Allows(link.view(), reason) && copy.folders.ResolveOnDisk(link.view(), target) == kOk) {
    if (!IsSameOrAbove(target, real)) {
      log.Print("Könyvtár hivatkozás (link) : %s -> %s, a tartalmát mentjük\n", link.c_str(), target.c_str());
      return true;
    }
    reason.Format("a(z) \"%s\" tartalmazza a hivatkozást, a mentés önmagába másolna", target.c_str());
  }
  log.Print("Könyvtár hivatkozás (link) : %s, nem menthető : %s\n", link.c_str(), reason.c_str());
  return false;
}

bool CopyTreeOf(TreeCopy& copy, std::string_view source, std::string_view real, std::string_view destination);

// A subdirectory, made new in the backup and copied; `real` is where it
// lies on disk.
bool CopyDirectory(TreeCopy& copy, const TextBuffer& from, std::string_view real, const TextBuffer& to, bool fits) {
  StepContext& ctx = copy.ctx;
  ctx.log.Print("Könyvtár készítés : %s...", to.c_str());
  // The directory is new in the emptied backup: finding it there
  // already is a failure as well.
  ErrorCode error = fits ? ctx.platform.files.MakeDirectory(to.c_str()) : platform::kErrorFilenameTooLong;
  if (error != kOk) {
    ctx.log.LogError(error);
    return false;
  }
  ctx.log.Write("OK\n");
  return CopyTreeOf(copy, from.view(), real, to.view());
}

bool CopyTreeOf(TreeCopy& copy, std::string_view source, std::string_view real, std::string_view destination) {
  StepContext& ctx = copy.ctx;
  std::unique_ptr<platform::DirectorySearch> search = ListDirectory(ctx, source);
  if (!search) return false;
  platform::FileSystem& files = ctx.platform.files;
  platform::FindEntry entry;
  WideText from, to;
  while (search->Next(entry)) {
    if (entry.IsDots()) continue;
    bool fits = JoinPath(from, source, entry.name);
    fits = JoinPath(to, destination, entry.name) && fits;
    if (entry.IsDirectory() && entry.IsLink()) {
      // A path too long fails in the making of its directory, as any other.
      std::string target;
      if (fits && !MayReadThroughLink(copy, from, real, target)) return false;
      if (!CopyDirectory(copy, from, target, to, fits)) return false;
    } else if (entry.IsDirectory()) {
      std::string below = std::string(real) + "\\" + entry.name.c_str();
      if (!CopyDirectory(copy, from, below, to, fits)) return false;
    } else {
      ctx.log.Print("Fájl másolás : %s -> %s...", from.c_str(), to.c_str());
      ErrorCode error = fits ? files.CopyFileTo(from.c_str(), to.c_str(), false) : platform::kErrorFilenameTooLong;
      if (error == kOk) {
        ctx.log.Write("OK\n");
      } else {
        ctx.log.LogError(error);
      }
      if (fits) files.SetAttributes(to.c_str(), platform::kAttributeNormal);
      if (error != kOk) return false;
    }
  }
  return true;
}

}  // namespace

bool MakeBackup(StepContext& ctx) {
  ctx.log.Write("\n\n---> Biztonsági másolat készítése\n");
  std::string_view home = ctx.settings.homeDir.view();
  WideText backup;
  bool fits = backup.Format("%s\\Vormex\\MENTES.TMP", ctx.settings.winDir.c_str()) && FitsPath(backup);

  // The home directory must lie apart from the backup: one that holds it
  // (the Windows directory, the maker's folder, a drive's root) would be
  // copied into itself without end, and one inside it would be deleted by
  // the emptying of the backup.
  if (IsProtectedDirectory(home, {backup.view()})) {
    ctx.log.Print("Biztonsági másolat : a(z) %s könyvtár tartalmazza a(z) %s mentési könyvtárat, "
                  "a mentés önmagába másolna!\n",
                  ctx.settings.homeDir.c_str(), backup.c_str());
    return false;
  }
  if (IsProtectedDirectory(backup.view(), {home})) {
    ctx.log.Print("Biztonsági másolat : a(z) %s könyvtár a(z) %s mentési könyvtáron belül van, "
                  "a mentés törölné!\n",
                  ctx.settings.homeDir.c_str(), backup.c_str());
    return false;
  }

  ErrorCode error = fits ? ctx.platform.files.MakeDirectory(backup.c_str()) : platform::kErrorFilenameTooLong;
  if (error != kOk && error != platform::kErrorAlreadyExists) {
    ctx.log.LogError(error);
    MessageText text;
    msg::DirectoryNotMade(text, backup.c_str());
    ShowWarning(ctx, text.c_str());
    return false;
  }
  std::uint32_t attributes = 0;
  if (error == platform::kErrorAlreadyExists &&
      ctx.platform.files.GetAttributes(backup.c_str(), attributes) == kOk &&
      (attributes & platform::kAttributeReparsePoint)) {
    ctx.log.Print("Biztonsági másolat : a(z) %s mentési könyvtár hivatkozás (link), nem ürítjük ki!\n", backup.c_str());
    return false;
  }
  if (!EmptyTree(ctx, backup.view())) return false;
  return CopyTree(ctx, home, backup.view());
}

bool EmptyTree(StepContext& ctx, std::string_view directory) {
  std::unique_ptr<platform::DirectorySearch> search = ListDirectory(ctx, directory);
  if (!search) return false;
  platform::FileSystem& files = ctx.platform.files;
  platform::FindEntry entry;
  WideText path;
  while (search->Next(entry)) {
    if (entry.IsDots()) continue;
    bool fits = JoinPath(path, directory, entry.name);
    ErrorCode error;
    if (entry.IsDirectory() && entry.IsLink()) {
      // The link goes, what it points to is never walked into.
      ctx.log.Print("Könyvtár hivatkozás (link) : %s, nem követjük\n", path.c_str());
      ctx.log.Print("Dir tötöl : %s...", path.c_str());
      error = fits ? files.RemoveDir(path.c_str()) : platform::kErrorFilenameTooLong;
    } else if (entry.IsDirectory()) {
      if (fits && !EmptyTree(ctx, path.view())) return false;
      ctx.log.Print("Dir tötöl : %s...", path.c_str());
      error = fits ? files.RemoveDir(path.c_str()) : platform::kErrorFilenameTooLong;
    } else {
      ctx.log.Print("Fájl tötöl : %s...", path.c_str());
      if (fits) files.SetAttributes(path.c_str(), platform::kAttributeNormal);
      error = fits ? files.RemoveFile(path.c_str()) : platform::kErrorFilenameTooLong;
    }
    if (error != kOk) {
      ctx.log.LogError(error);
      return false;
    }
    ctx.log.Write("OK\n");
  }
  return true;
}

bool CopyTree(StepContext& ctx, std::string_view source, std::string_view destination) {
  TreeCopy copy{ctx, ProtectedFolders(ctx.platform.files, ctx.platform.registry)};
  std::string real;
  if (copy.folders.ResolveOnDisk(source, real) != kOk) real = std::string(source);
  return CopyTreeOf(copy, source, real, destination);
}

}  // namespace qz
