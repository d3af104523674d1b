#include "engine/SetupScript.h"

#include <cstring>

#include "text/TextParse.h"

namespace qz {
int CompareVersions(std::string_view a, std::string_view b) {
  std::size_t common = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < common; ++i) {
    auto x = static_cast<unsigned char>(a[i]);
    auto y = static_cast<unsigned char>(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool SetupScript::Open(const char* path) {
  platform::ErrorCode error;
  auto file = files_.OpenForReading(path, platform::kShareReadWrite, error);
  if (!file) return false;
  reader_ = std::make_unique<platform::LineReader>(std::move(file));
  return true;
}

bool SetupScript::NextLine() {
  if (!reader_ || !reader_->ReadLine(line_)) return false;
  ++lineNumber_;
  // The script is text: whatever follows a NUL byte on a line is not read.
  line_ = std::string(TextLine(line_));
  return true;
}

bool SetupScript::Rewind() {
  lineNumber_ = 0;
  return reader_ && reader_->Rewind();
}

bool SetupScript::FindLabel(std::string_view label) {
  if (!Rewind()) return false;
  while (NextLine()) {
    if (line_ == label) return true;
  }
  return false;
}

bool SetupScript::ReadItem(TextBuffer& text) {
  text.Clear();
  bool read;
  do {
    read = NextLine();
  } while (read && line_.empty());
  if (!read) return false;
  text.Assign(line_);
  return line_.back() != ':';
}

bool ReplaceAll(TextBuffer& text, std::string_view pattern, std::string_view replacement) {
  FixedText<512> work;
  bool whole = work.Assign(text.view());
  if (pattern.empty()) return whole;
  // The replacement may live in `text` itself; keep it apart first.
  std::string with(replacement);
  text.Clear();
  std::string_view rest = work.view();
  for (std::size_t at; (at = rest.find(pattern)) != std::string_view::npos;) {
    whole &= text.Append(rest.substr(0, at));
    whole &= text.Append(with);
    rest.remove_prefix(at + pattern.size());
  }
  whole &= text.Append(rest);
  return whole;
}

int ExpandValue(std::string_view line, TextBuffer& value, const DirectoryMacros& macros, bool* whole) {
  std::size_t start;
  if (!line.empty() && line[0] == '"') {
    start = 1;
  } else {
    std::size_t quote = line.size() > 1 ? line.find('"', 1) : std::string_view::npos;
    start = quote == std::string_view::npos ? line.size() : quote + 1;
  }
  std::size_t end = line.find('"', start);
  std::size_t stop = end == std::string_view::npos ? line.size() : end;
  // `line` may be `value` itself, and the macros may be settings that
  // `value` is about to replace: copy them all before writing.
  std::string extracted(line.substr(start, stop - start));
  std::string homeDir(macros.homeDir), sysDir(macros.sysDir), winDir(macros.winDir);
  bool fits = value.Assign(extracted);
  fits &= ReplaceAll(value, "$HOMEDIR$", homeDir);
  fits &= ReplaceAll(value, "$SYSDIR$", sysDir);
  fits &= ReplaceAll(value, "$WINDIR$", winDir);
  if (whole) *whole = fits;
  return end == std::string_view::npos ? 0 : static_cast<int>(end);
}

int SettingsMacros::Expand(std::string_view line, TextBuffer& value, bool* whole) const {
  DirectoryMacros macros{settings_.homeDir.view(), settings_.sysDir.view(), settings_.winDir.view()};
  return ExpandValue(line, value, macros, whole);
}

}  // namespace qz
