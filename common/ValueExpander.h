#pragma once

#include <string_view>

#include "text/Text.h"

namespace qz {

// Takes the first double-quoted value out of a line and replaces the
// directory macros in it; the setup program's settings provide the macros.
class ValueExpander {
 public:
  virtual ~ValueExpander() = default;
  // Writes the value into `value`; returns the index of the closing quote
  // in `line`, or 0 when there is none. `whole` (when given) tells whether
  // the value fitted `value` without being cut.
  virtual int Expand(std::string_view line, TextBuffer& value, bool* whole = nullptr) const = 0;
};

}  // namespace qz
