#include "engine/InstallFiles.h"

#include "common/SafePaths.h"
#include "engine/SectionPlan.h"
#include "engine/SetupMessages.h"
#include "engine/StepSupport.h"

namespace qz {
namespace {

using platform::ErrorCode;
using platform::kOk;

// The boxes of a directory that is not made and of a file that is not
// copied, once the log has said why.
bool WarnDirectory(StepContext& ctx, const char* path) {
  MessageText text;
  msg::DirectoryNotMade(text, path);
  ShowWarning(ctx, text.c_str());
  return false;
}

bool WarnCopy(StepContext& ctx, const char* source) {
  MessageText text;
  msg::FileNotCopied(text, source);
  ShowWarning(ctx, text.c_str());
  return false;
}

bool DirectoryFailed(StepContext& ctx, const TextBuffer& path, ErrorCode error) {
  ctx.log.LogError(error);
  return WarnDirectory(ctx, path.c_str());
}

bool CopyFailed(StepContext& ctx, const TextBuffer& source, ErrorCode error) {
  ctx.log.LogError(error);
  return WarnCopy(ctx, source.c_str());
}

// A refused name closes its action line: with the error Windows gives a
// name holding a character it refuses (123), with a bare ERROR for the
// faults that are ours alone. The next line gives the reason.
void LogRefusal(StepContext& ctx, const TextBuffer& name, PathFault fault) {
  if (fault == PathFault::kInvalidCharacter) {
    ctx.log.LogError(platform::kErrorInvalidName);
  } else {
    ctx.log.Write("ERROR\n");
  }
  ctx.log.Print("Hibás elem : \"%s\" %s%s\n", name.c_str(), PathFaultText(fault),
                LeadsOutOfRoot(fault) ? " (a célkönyvtáron kívülre mutatna)" : "");
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

// A line too long to be an item: logged and refused whole, with the box
// of what the line would have been.
bool RefuseLine(StepContext& ctx, const PlannedItem& item) {
  WideText line;
  line.Assign(item.text);
  RefuseLongLine(ctx, line);
  return item.directoryItem ? WarnDirectory(ctx, line.c_str()) : WarnCopy(ctx, line.c_str());
}

bool MoveCursor(StepContext& ctx, bool& madeHere, const PlannedItem& item) {
  if (item.heldAtRoot) {
    ctx.log.Print("Könyvtár : \"..\" a(z) %s gyökérkönyvtárban, a kurzor a gyökérben marad\n", item.target.c_str());
  }
  madeHere = false;
  return true;
}

bool MakeDirectoryItem(StepContext& ctx, bool& madeHere, const PlannedItem& item) {
  const WideText& path = item.target;
  madeHere = false;
  MessageText line;
  msg::DirectoryLine(line, path.c_str());
  ctx.progress.AddLine(line.c_str());
  ctx.log.Print("Könyvtár készítés : %s...", path.c_str());
  if (item.fault == ItemFault::kPathTooLong) return DirectoryFailed(ctx, path, platform::kErrorFilenameTooLong);
  if (item.fault == ItemFault::kRefusedName) {
    LogRefusal(ctx, item.name, item.refusal);
    return WarnDirectory(ctx, path.c_str());
  }
  ErrorCode error = ctx.platform.files.MakeDirectory(path.c_str());
  if (error == platform::kErrorAlreadyExists && IsLinkOnDisk(ctx, path)) {
    ctx.log.LogError(platform::kErrorAccessDenied);
    ctx.log.Print("Könyvtár hivatkozás (link) : %s, nem követjük\n", path.c_str());
    return WarnDirectory(ctx, path.c_str());
  }
  if (error != kOk && error != platform::kErrorAlreadyExists) return DirectoryFailed(ctx, path, error);
  ctx.log.Write("OK\n");
  madeHere = error == kOk;
  return true;
}

bool CopyFileItem(StepContext& ctx, bool madeHere, const PlannedItem& item) {
  const WideText& target = item.target;
  MessageText line;
  msg::FileLine(line, target.c_str());
  ctx.progress.AddLine(line.c_str());
  ctx.log.Print("Fájl másolás : %s...", target.c_str());
  if (item.fault == ItemFault::kPathTooLong) return CopyFailed(ctx, item.source, platform::kErrorFilenameTooLong);
  if (item.fault == ItemFault::kRefusedName) {
    LogRefusal(ctx, item.name, item.refusal);
    return WarnCopy(ctx, item.source.c_str());
  }

  platform::FileSystem& files = ctx.platform.files;
  // An existing target is made normal, so that a read-only one is
  // overwritten; a link in its place is replaced, never written through.
  // In a directory the section has just made there is nothing to look at:
  // an installation of thousands of files feels every call a file.
  std::uint32_t existing = 0;
  if (!madeHere && files.GetAttributes(target.c_str(), existing) == kOk) {
    if (existing & platform::kAttributeReparsePoint) files.RemoveFile(target.c_str());
    else files.SetAttributes(target.c_str(), platform::kAttributeNormal);
  }
  std::uint32_t copied = 0;
  ErrorCode error = files.CopyFileTo(item.source.c_str(), target.c_str(), false, &copied);
  if (error != kOk) return CopyFailed(ctx, item.source, error);
  // A copy of a read-only file on the medium is left writable.
  if (copied & kAttributesNotNormal) files.SetAttributes(target.c_str(), platform::kAttributeNormal);
  ctx.log.Write("OK\n");
  return true;
}

bool CarryOut(StepContext& ctx, bool& madeHere, const PlannedItem& item) {
  if (item.fault == ItemFault::kLineTooLong) return RefuseLine(ctx, item);
  switch (item.kind) {
    case ItemKind::kSkip: return true;
    case ItemKind::kUp:
    case ItemKind::kToRoot: return MoveCursor(ctx, madeHere, item);
    case ItemKind::kMakeDirectory: return MakeDirectoryItem(ctx, madeHere, item);
    case ItemKind::kCopy: return CopyFileItem(ctx, madeHere, item);
  }
  return false;
}

// An item's name in "WinDir:" is refused as in the other sections.
bool RefusesItem(StepContext& ctx, const TextBuffer& name) {
  PathFault fault = CheckItemPath(name.view());
  if (fault == PathFault::kNone) return false;
  LogRefusal(ctx, name, fault);
  return true;
}

}  // namespace

bool InstallSection(StepContext& ctx, std::string_view root, std::string_view label) {
  if (!ctx.script.FindLabel(label)) return false;
  SettingsMacros macros(ctx.settings);
  SectionWalk walk(ctx.script, macros, root);
  PlannedItem item;
  // Whether the cursor's directory was made by this section: nothing
  // stands in it then but what the section has copied there since.
  bool madeHere = false;
  while (walk.Next(item)) {
    if (!CarryOut(ctx, madeHere, item)) {
      ctx.progress.AddLine(msg::kSectionFailedLine);
      return false;
    }
  }
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
