#pragma once
// What the install steps share: the warning box, and the rule for texts
// that do not fit their fields.
//
// Paths, names and item lines hold at most 259 characters. A text that
// would not fit is never used cut, since a cut path names another file or
// directory: the action it was meant for is refused as Windows refuses an
// over-long path, with ERROR_FILENAME_EXCED_RANGE (206). The action's log
// line is written with the whole text, then LogError(206), and the step goes
// on as after any other failure of that action. Texts are formed in buffers
// larger than the fields (`WideText`), so measuring them never cuts them
// short of the limit.

#include <string_view>

#include "engine/StepContext.h"
#include "platform/Errors.h"
#include "text/Text.h"

namespace qz {

inline constexpr std::size_t kMaxPathLength = 259;
// A script line, or a text formed from one, before it is checked against
// the field it is meant for. A line that fills it was cut by the read, and
// is longer than every field.
using WideText = FixedText<1024>;

// The warning box of a single failure: OK, exclamation icon, the program's
// name as its caption.
inline void ShowWarning(StepContext& ctx, const char* text) {
  ctx.messages.ShowMessage(text, ctx.platform.ui.ProgramName(), platform::Buttons::Ok, platform::Icon::Exclamation);
}

// True when a text fits a path field; `whole` tells whether it was formed
// without being cut.
inline bool FitsPath(const TextBuffer& text, bool whole = true) { return whole && text.length() <= kMaxPathLength; }

// An item line longer than its field is refused whole, before any of it is
// used: the log shows "Túl hosszú sor : <line>..." and LogError(206).
inline bool RefuseLongLine(StepContext& ctx, const TextBuffer& line, std::size_t limit = kMaxPathLength) {
  if (line.length() <= limit) return false;
  ctx.log.Print("Túl hosszú sor : %s...", line.c_str());
  ctx.log.LogError(platform::kErrorFilenameTooLong);
  return true;
}

}  // namespace qz
