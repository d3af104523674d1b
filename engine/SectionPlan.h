#pragma once
// The walk of a "Home:" or "VormexDir:" section: each line becomes a planned
// item before anything touches the disk. The installer carries the items
// out and the medium checker reports them, so both follow one set of rules:
// the directory cursor ("DIR" items move it, ".." never above the root,
// "\" back to it), how a file's target and its source on the medium are
// formed, the length limits and the names refused.

#include <string_view>

#include "common/SafePaths.h"
#include "common/ValueExpander.h"
#include "engine/SetupScript.h"
#include "engine/StepSupport.h"
#include "text/Text.h"

namespace qz {

enum class ItemKind {
  kSkip,           // no closed name in double quotes, or a directory item's empty name
  kUp,             // DIR "..": the cursor goes one level up, never above the root
  kToRoot,         // DIR "\": the cursor goes back to the root
  kMakeDirectory,  // DIR "name": the directory below the cursor is made (or entered)
  kCopy,           // "name": the file below the cursor is copied from the medium
};

// Why an item is refused before it is tried; a refused item stops the
// installation of its section.
enum class ItemFault {
  kNone,
  kLineTooLong,  // the line is longer than 259 characters: refused whole, unread
  kPathTooLong,  // the target or the source would be longer than 259 characters
  kRefusedName,  // the name is not a plain path below the root (`refusal` says why)
};

struct PlannedItem {
  int line = 0;                // in the script, from 1
  std::string_view text;       // the line as read (valid until the next item)
  bool directoryItem = false;  // the line holds the capitals DIR
  ItemKind kind = ItemKind::kSkip;
  ItemFault fault = ItemFault::kNone;
  PathFault refusal = PathFault::kNone;  // with kRefusedName
  WideText name;    // the expanded name between the quotes
  WideText target;  // the directory made or the file's target; kUp, kToRoot: where the cursor goes
  WideText source;  // kCopy: the file on the medium, relative to it
  // kUp: ".." met at the root (`target`), where the cursor stays.
  bool heldAtRoot = false;
};

// True when a line of "Home:" or "VormexDir:" is a directory item: the
// capitals DIR stand anywhere in it (also in a name or a macro).
bool IsDirectoryItem(std::string_view line);

// The directory cursor of a planned section: where the next item lands.
// Planning assumes each item succeeds on the disk, as a failed item stops
// the section; a refused directory leaves the cursor where it was.
class SectionCursor {
 public:
  explicit SectionCursor(std::string_view root) : root_(root) { dir_.Assign(root); }
  std::string_view root() const { return root_; }
  const PathText& dir() const { return dir_; }

  // Plans the item of one line and moves the cursor past it. Pure: reads
  // nothing but the line and the macros.
  void Plan(std::string_view line, int lineNumber, const ValueExpander& macros, PlannedItem& item);

 private:
  void PlanDirectory(const ValueExpander& macros, PlannedItem& item);
  void PlanCopy(const ValueExpander& macros, PlannedItem& item);

  std::string_view root_;
  PathText dir_;
};

// The items of the section the script is positioned in (behind its label),
// read line by line as they are planned.
class SectionWalk {
 public:
  SectionWalk(SetupScript& script, const ValueExpander& macros, std::string_view root)
      : script_(script), macros_(macros), cursor_(root) {}
  // False at the end of the section.
  bool Next(PlannedItem& item);

 private:
  SetupScript& script_;
  const ValueExpander& macros_;
  SectionCursor cursor_;
  WideText line_;
};

}  // namespace qz
