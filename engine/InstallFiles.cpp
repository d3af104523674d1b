#include "engine/InstallFiles.h"

#include "common/SafePaths.h"
#include "engine/StepSupport.h"

namespace qz {
namespace {

using platform::ErrorCode;
using platform::kOk;

// The boxes of a directory that is not made and of a file that is not
// copied, once the log has said why.
bool WarnDirectory(StepContext& ctx, const TextBuffer& path) {
  ctx.messageText.Format("Könyvtár létrehozási hiba!\n\nKönyvtár : %s", path.c_str());
  ShowWarning(ctx, ctx.messageText.c_str());
  return false;
}

bool WarnCopy(StepContext& ctx, const TextBuffer& source) {
  ctx.messageText.Format("Fájl másolási hiba\n\nFile : %s", source.c_str());
  ShowWarning(ctx, ctx.messageText.c_str());
  return false;
}

bool DirectoryFailed(StepContext& ctx, const TextBuffer& path, ErrorCode error) {
  ctx.log.LogError(error);
  return WarnDirectory(ctx, path);
}

bool CopyFailed(StepContext& ctx, const TextBuffer& source, ErrorCode error) {
  ctx.log.LogError(error);
  return WarnCopy(ctx, source);
}

// An item's name must stay below its section's root: a relative path of
// plain names ("..", a drive, a leading "\\", "/" would reach elsewhere),
// each one Windows can make. A refused item fails like an item that cannot
// be made: its action line ends in ERROR and the next line gives the
// reason. A name holding a character Windows refuses is logged with the
// error Windows gives it (123); the other faults are ours alone and carry
// no system error.
bool RefusesItem(StepContext& ctx, const TextBuffer& name) {
  PathFault fault = CheckItemPath(name.view());
  if (fault == PathFault::kNone) return false;
  if (fault == PathFault::kInvalidCharacter) {
    ctx.log.LogError(platform::kErrorInvalidName);
  } else {
    ctx.log.Write("ERROR\n");
  }
  ctx.log.Print("Hibás elem : \"%s\" %s%s\n", name.c_str(), PathFaultText(fault),
                LeadsOutOfRoot(fault) ? " (a célkönyvtáron kívülre mutatna)" : "");
  return true;
}

// What a copy may carry that leaves it other than a normal, writable file.
constexpr std::uint32_t kAttributesNotNormal =
    platform::kAttributeReadOnly | platform::kAttributeHidden | platform::kAttributeSystem;

// A directory that exists already is entered only when it is a directory
// of its own: a link or junction there (which another user may have put in
// the application's tree) would lead the files elsewhere.
bool IsLinkOnDisk(StepContext& ctx, const TextBuffer& path) {
  std::uint32_t attributes = 0;
  return ctx.platform.files.GetAttributes(path.c_str(), attributes) == kOk &&
         (attributes & platform::kAttributeReparsePoint) != 0;
}

// The part of the cursor below the root: "" at the root itself.
std::string_view BelowRoot(const TextBuffer& currentDir, std::string_view root) {
  std::string_view dir = currentDir.view();
  if (dir.size() <= root.size() + 1) return {};
  return dir.substr(root.size() + 1);
}

}  // namespace

bool IsDirectoryItem(std::string_view line) { return line.find("DIR") != std::string_view::npos; }

bool InstallSection(StepContext& ctx, InstallCursor& cursor, std::string_view root, std::string_view label) {
  cursor.currentDir.Assign(root);
  cursor.madeHere = false;
  cursor.itemName.Clear();
  if (!ctx.script.FindLabel(label)) return false;
  bool result = true;
  WideText line;
  while (result && ctx.script.ReadItem(line)) {
    bool directory = IsDirectoryItem(line.view());
    if (RefuseLongLine(ctx, line)) {
      if (directory) {
        ctx.messageText.Format("Könyvtár létrehozási hiba!\n\nKönyvtár : %s", line.c_str());
      } else {
        ctx.messageText.Format("Fájl másolási hiba\n\nFile : %s", line.c_str());
      }
      ShowWarning(ctx, ctx.messageText.c_str());
      result = false;
    } else if (directory) {
      result = MakeDirItem(ctx, cursor, line.view(), root);
    } else {
      result = CopyFileItem(ctx, cursor, line.view(), root);
    }
    if (!result) ctx.progress.AddLine("Nem sikerült a másolás!");
  }
  return result;
}

bool InstallSection(StepContext& ctx, std::string_view root, std::string_view label) {
  InstallCursor cursor;
  return InstallSection(ctx, cursor, root, label);
}

bool MakeDirItem(StepContext& ctx, InstallCursor& cursor, std::string_view line, std::string_view root) {
  SettingsMacros macros(ctx.settings);
  WideText name;
  bool whole = true;
  // Without a quoted name there is nothing to do. An empty name would make
  // the cursor end in a backslash, and the sources of later files would
  // then be taken from the medium's drive root: it is skipped as well.
  if (macros.Expand(line, name, &whole) == 0 || name.empty()) return true;
  cursor.itemName.Assign(FitsPath(name, whole) ? name.view() : std::string_view());
  cursor.madeHere = false;

  if (name == "..") {
    std::string_view dir = cursor.currentDir.view();
    std::size_t cut = dir.rfind('\\');
    if (dir.size() <= root.size() || cut == std::string_view::npos || cut < root.size()) {
      // Above the root the sources of later files would lie outside the
      // medium's tree: the cursor stays at the root.
      ctx.log.Print("Könyvtár : \"..\" a(z) %s gyökérkönyvtárban, a kurzor a gyökérben marad\n", cursor.currentDir.c_str());
      cursor.currentDir.Assign(root);
    } else {
      cursor.currentDir.Truncate(cut);
    }
    return true;
  }
  if (name == "\\") {
    cursor.currentDir.Assign(root);
    return true;
  }

  WideText path;
  bool fits = path.Format("%s\\%s", cursor.currentDir.c_str(), name.c_str()) && FitsPath(path, whole);
  ctx.messageText.Format("   Könyvtár : %s", path.c_str());
  ctx.progress.AddLine(ctx.messageText.c_str());
  ctx.log.Print("Könyvtár készítés : %s...", path.c_str());
  if (!fits) return DirectoryFailed(ctx, path, platform::kErrorFilenameTooLong);
  if (RefusesItem(ctx, name)) return WarnDirectory(ctx, path);
  ErrorCode error = ctx.platform.files.MakeDirectory(path.c_str());
  if (error == platform::kErrorAlreadyExists && IsLinkOnDisk(ctx, path)) {
    ctx.log.LogError(platform::kErrorAccessDenied);
    ctx.log.Print("Könyvtár hivatkozás (link) : %s, nem követjük\n", path.c_str());
    return WarnDirectory(ctx, path);
  }
  if (error != kOk && error != platform::kErrorAlreadyExists) return DirectoryFailed(ctx, path, error);
  ctx.log.Write("OK\n");
  cursor.currentDir.Assign(path.view());
  cursor.madeHere = error == kOk;
  return true;
}

bool CopyFileItem(StepContext& ctx, InstallCursor& cursor, std::string_view line, std::string_view root) {
  SettingsMacros macros(ctx.settings);
  WideText name;
  bool whole = true;
  if (macros.Expand(line, name, &whole) == 0) return true;
  cursor.itemName.Assign(FitsPath(name, whole) ? name.view() : std::string_view());

  WideText target, source;
  bool fits = target.Format("%s\\%s", cursor.currentDir.c_str(), name.c_str()) && FitsPath(target, whole);
  std::string_view below = BelowRoot(cursor.currentDir, root);
  if (below.empty()) {
    source.Assign(name.view());
  } else {
    source.Assign(below);
    source.Append("\\");
    source.Append(name.view());
  }
  fits = fits && FitsPath(source);
  ctx.messageText.Format("   Fájl : %s", target.c_str());
  ctx.progress.AddLine(ctx.messageText.c_str());
  ctx.log.Print("Fájl másolás : %s...", target.c_str());
  if (!fits) return CopyFailed(ctx, source, platform::kErrorFilenameTooLong);
  if (!name.empty() && RefusesItem(ctx, name)) return WarnCopy(ctx, source);

  platform::FileSystem& files = ctx.platform.files;
  // An existing target is made normal, so that a read-only one is
  // overwritten; a link in its place is replaced, never written through.
  // In a directory the section has just made there is nothing to look at:
  // an installation of thousands of files feels every call a file.
  std::uint32_t existing = 0;
  if (!cursor.madeHere && files.GetAttributes(target.c_str(), existing) == kOk) {
    if (existing & platform::kAttributeReparsePoint) files.RemoveFile(target.c_str());
    else files.SetAttributes(target.c_str(), platform::kAttributeNormal);
  }
  std::uint32_t copied = 0;
  ErrorCode error = files.CopyFileTo(source.c_str(), target.c_str(), false, &copied);
  if (error != kOk) return CopyFailed(ctx, source, error);
  // A copy of a read-only file on the medium is left writable.
  if (copied & kAttributesNotNormal) files.SetAttributes(target.c_str(), platform::kAttributeNormal);
  ctx.log.Write("OK\n");
  return true;
}

bool InstallWindir(StepContext& ctx) {
  ctx.log.Write("\n\n---> InstallWindir\n");
  if (!ctx.script.FindLabel("WinDir:")) return true;
  SettingsMacros macros(ctx.settings);
  WideText line, name, target;
  while (ctx.script.ReadItem(line)) {
    if (RefuseLongLine(ctx, line)) return false;
    // The name is taken whether or not its closing quote is there.
    bool whole = true;
    macros.Expand(line.view(), name, &whole);
    bool fits = target.Format("%s\\%s", ctx.settings.winDir.c_str(), name.c_str()) && FitsPath(target, whole);
    ctx.log.Print("Fájl másolás : %s...", target.c_str());
    if (fits && !name.empty() && RefusesItem(ctx, name)) return false;
    ErrorCode error = fits ? ctx.platform.files.CopyFileTo(name.c_str(), target.c_str(), true)
                           : platform::kErrorFilenameTooLong;
    if (error == kOk) {
      ctx.log.Write("OK\n");
    } else if (error == platform::kErrorFileExists) {
      ctx.log.Write("EXISTS\n");
    } else {
      ctx.log.LogError(error);
      return false;
    }
  }
  return true;
}

}  // namespace qz
