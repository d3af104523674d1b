#pragma once
// The setup script setup.ini: label lines ("AppName:") open sections, the
// non-blank lines after them are the section's items, values stand between
// double quotes.

#include <memory>
#include <string>
#include <string_view>

#include "common/ValueExpander.h"
#include "engine/SetupSettings.h"
#include "platform/FileSystem.h"
#include "platform/LineReader.h"
#include "text/Text.h"

namespace qz {

class SetupScript {
 public:
  explicit SetupScript(platform::FileSystem& files) : files_(files) {}

  // Opens the script for reading; other programs may read and write it
  // meanwhile.
  bool Open(const char* path);
  void Close() { reader_.reset(); }
  bool IsOpen() const { return reader_ != nullptr; }

  // Positions the script just behind the first line that equals `label`
  // (white space around it removed).
  bool FindLabel(std::string_view label);
  // Reads the next non-blank line into `text` and tells whether it is an item
  // of the current section (false at the end of the file, and at the next
  // label line, which `text` then holds). Whether a line is a label is
  // decided on the whole line; a line longer than `text` arrives cut.
  bool ReadItem(TextBuffer& text);

  // For tools that point at a line: the number (from 1) of the line read
  // last by FindLabel or ReadItem, 0 before any line.
  int LineNumber() const { return lineNumber_; }
  // Sets the read position to the start of the file, as FindLabel does
  // first; ReadItem then reads from the first line.
  bool Rewind();

 private:
  // The next line, trimmed; a line ends at a NUL byte. False at the end of
  // the file or on a read error.
  bool NextLine();

  platform::FileSystem& files_;
  std::unique_ptr<platform::LineReader> reader_;
  std::string line_;
  int lineNumber_ = 0;
};

// The directory macros a value may hold.
struct DirectoryMacros {
  std::string_view homeDir;
  std::string_view sysDir;
  std::string_view winDir;
};

// Writes into `value` the text between the first two double quotes of
// `line` with "$HOMEDIR$", "$SYSDIR$" and "$WINDIR$" replaced, and returns the
// index of the closing quote (0 when there is none). `value` may hold `line`
// itself. `whole` tells whether the value fitted without being cut.
int ExpandValue(std::string_view line, TextBuffer& value, const DirectoryMacros& macros, bool* whole = nullptr);

// Replaces every occurrence of `pattern` in `text`, scanning at most the
// first 511 characters and never the inserted text again. False when the
// result was cut (to 511 characters or to the text's capacity).
bool ReplaceAll(TextBuffer& text, std::string_view pattern, std::string_view replacement);

// The macros of a run, from its settings: the expander that every step and
// the registry settings files use.
class SettingsMacros : public ValueExpander {
 public:
  explicit SettingsMacros(const SetupSettings& settings) : settings_(settings) {}
  int Expand(std::string_view line, TextBuffer& value, bool* whole = nullptr) const override;

 private:
  const SetupSettings& settings_;
};

}  // namespace qz
