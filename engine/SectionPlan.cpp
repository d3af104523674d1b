#include "engine/SectionPlan.h"

namespace qz {
namespace {

// The part of the cursor below the root: "" at the root itself.
std::string_view BelowRoot(std::string_view dir, std::string_view root) {
  if (dir.size() <= root.size() + 1) return {};
  return dir.substr(root.size() + 1);
}

// A path that fits is refused next if its name is not a plain relative
// path: the length is what Windows would refuse first.
void SetFault(PlannedItem& item, bool fits, bool checkName) {
  if (!fits) {
    item.fault = ItemFault::kPathTooLong;
    return;
  }
  if (!checkName) return;
  item.refusal = CheckItemPath(item.name.view());
  if (item.refusal != PathFault::kNone) item.fault = ItemFault::kRefusedName;
}

}  // namespace

bool IsDirectoryItem(std::string_view line) { return line.find("DIR") != std::string_view::npos; }

void SectionCursor::Plan(std::string_view line, int lineNumber, const ValueExpander& macros, PlannedItem& item) {
  item.line = lineNumber;
  item.text = line;
  item.directoryItem = IsDirectoryItem(line);
  item.kind = ItemKind::kSkip;
  item.fault = ItemFault::kNone;
  item.refusal = PathFault::kNone;
  item.heldAtRoot = false;
  item.name.Clear();
  item.target.Clear();
  item.source.Clear();
  if (line.size() > kMaxPathLength) {
    // Refused before any of it is used; its kind is what the line would be.
    item.kind = item.directoryItem ? ItemKind::kMakeDirectory : ItemKind::kCopy;
    item.fault = ItemFault::kLineTooLong;
  } else if (item.directoryItem) {
    PlanDirectory(macros, item);
  } else {
    PlanCopy(macros, item);
  }
}

void SectionCursor::PlanDirectory(const ValueExpander& macros, PlannedItem& item) {
  bool whole = true;
  // Without a quoted name there is nothing to do. An empty name would make
  // the cursor end in a backslash, and the sources of later files would
  // then be taken from the medium's drive root: it is skipped as well.
  if (macros.Expand(item.text, item.name, &whole) == 0 || item.name.empty()) return;
  if (item.name == "..") {
    item.kind = ItemKind::kUp;
    std::string_view dir = dir_.view();
    std::size_t cut = dir.rfind('\\');
    // Above the root the sources of later files would lie outside the
    // medium's tree: the cursor stays at the root.
    item.heldAtRoot = dir.size() <= root_.size() || cut == std::string_view::npos || cut < root_.size();
    if (item.heldAtRoot) dir_.Assign(root_);
    else dir_.Truncate(cut);
    item.target.Assign(dir_.view());
    return;
  }
  if (item.name == "\\") {
    item.kind = ItemKind::kToRoot;
    dir_.Assign(root_);
    item.target.Assign(root_);
    return;
  }
  item.kind = ItemKind::kMakeDirectory;
  bool fits = item.target.Format("%s\\%s", dir_.c_str(), item.name.c_str()) && FitsPath(item.target, whole);
  SetFault(item, fits, true);
  if (item.fault == ItemFault::kNone) dir_.Assign(item.target.view());
}

void SectionCursor::PlanCopy(const ValueExpander& macros, PlannedItem& item) {
  bool whole = true;
  if (macros.Expand(item.text, item.name, &whole) == 0) return;
  item.kind = ItemKind::kCopy;
  bool fits = item.target.Format("%s\\%s", dir_.c_str(), item.name.c_str()) && FitsPath(item.target, whole);
  // The medium mirrors the tree below the root.
  std::string_view below = BelowRoot(dir_.view(), root_);
  if (!below.empty()) {
    item.source.Assign(below);
    item.source.Append("\\");
  }
  item.source.Append(item.name.view());
  // An empty name is not refused here: its copy fails as Windows fails it.
  SetFault(item, fits && FitsPath(item.source), !item.name.empty());
}

bool SectionWalk::Next(PlannedItem& item) {
  if (!script_.ReadItem(line_)) return false;
  cursor_.Plan(line_.view(), script_.LineNumber(), macros_, item);
  return true;
}

}  // namespace qz
