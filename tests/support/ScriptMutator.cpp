#include "tests/support/ScriptMutator.h"

namespace qz::test {
namespace {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// The quoted field of a line ([first, last) inside the quotes), or false.
bool QuotedField(const std::string& line, std::size_t which, std::size_t& first, std::size_t& last) {
  std::size_t open = std::string::npos;
  std::size_t from = 0;
  for (std::size_t i = 0; i <= which; ++i) {
    open = line.find('"', from);
    if (open == std::string::npos) return false;
    std::size_t close = line.find('"', open + 1);
    if (close == std::string::npos) return false;
    first = open + 1;
    last = close;
    from = close + 1;
  }
  return true;
}

// `prefix` and the name in double quotes. Appended piece by piece: GCC 12
// reports a chain of + on temporaries as an overlapping copy (-Wrestrict).
std::string Quoted(const char* prefix, const std::string& name) {
  std::string line = prefix;
  line += '"';
  line += name;
  line += '"';
  return line;
}

}  // namespace

ScriptMutator::ScriptMutator(std::string script, std::uint32_t seed)
    : lines_(SplitLines(script)), state_(0x9E3779B97F4A7C15ull ^ seed) {}

// xorshift64*: small, and the same sequence on every compiler.
std::uint32_t ScriptMutator::Random(std::uint32_t below) {
  state_ ^= state_ >> 12;
  state_ ^= state_ << 25;
  state_ ^= state_ >> 27;
  std::uint64_t value = state_ * 0x2545F4914F6CDD1Dull;
  return below == 0 ? 0 : static_cast<std::uint32_t>((value >> 32) % below);
}

const std::vector<std::string>& ScriptMutator::HostileNames() {
  static const std::vector<std::string> names = {
      "..", "..\\x", "..\\..\\..\\windows\\evil", "x\\..\\..\\y", "a/../../b", "\\", "\\x", "C:\\evil",
      "C:\\windows\\evil.dll", "C:evil", "$WINDIR$\\X.DLL", "$SYSDIR$\\Y.DLL", "$HOMEDIR$\\..\\z", "..\\medium",
      "...", ". .", " ", "x.", "x ", "CON", "nul.txt", "x:y", "a|b", "\\\\server\\share\\x", "\\\\?\\C:\\x",
      "DIRECT.DLL", "sub\\deeper\\file.txt", std::string(300, 'L'),
      "$SYSDIR$$SYSDIR$$SYSDIR$$SYSDIR$$SYSDIR$$SYSDIR$$SYSDIR$$SYSDIR$$SYSDIR$$SYSDIR$"
      "$SYSDIR$$SYSDIR$$SYSDIR$$SYSDIR$$SYSDIR$$SYSDIR$$SYSDIR$$SYSDIR$$SYSDIR$$SYSDIR$",
      "", "Számla\\..\\..", "ok name"};
  return names;
}

std::string ScriptMutator::HostileName() { return HostileNames()[Random(static_cast<std::uint32_t>(HostileNames().size()))]; }

void ScriptMutator::Mutate(std::vector<std::string>& lines) {
  if (lines.empty()) {
    lines.push_back(Quoted("", HostileName()));
    return;
  }
  // Most lines of a script are comments and blanks: the line to change is
  // drawn among those with a quoted name, four times out of five.
  std::size_t at = Random(static_cast<std::uint32_t>(lines.size()));
  for (int tries = 0; tries < 8 && Random(5) != 0 && lines[at].find('"') == std::string::npos; ++tries) {
    at = Random(static_cast<std::uint32_t>(lines.size()));
  }
  std::string& line = lines[at];
  std::size_t first = 0, last = 0;
  switch (Random(9)) {
    case 0:
    case 1:
    case 2: {
      // A quoted name replaced: the commonest way a medium goes wrong. A
      // line without one gets a directory item instead.
      std::size_t which = Random(2);
      if (QuotedField(line, which, first, last) || QuotedField(line, 0, first, last)) {
        line.replace(first, last - first, HostileName());
      } else {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), Quoted("DIR ", HostileName()));
      }
      break;
    }
    case 3: {
      // One draw for the kind of item, then one for the name.
      const char* prefix = Random(2) ? "DIR " : "";
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), Quoted(prefix, HostileName()));
      break;
    }
    case 4:
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at));
      break;
    case 5:
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), line);
      break;
    case 6:
      std::swap(line, lines[Random(static_cast<std::uint32_t>(lines.size()))]);
      break;
    case 7:
      if (std::size_t quote = line.find('"'); quote != std::string::npos) line.erase(quote, 1);
      break;
    default:
      if (!line.empty()) line[Random(static_cast<std::uint32_t>(line.size()))] = static_cast<char>(Random(256));
      break;
  }
}

std::string ScriptMutator::Next() {
  std::vector<std::string> lines = lines_;
  for (std::uint32_t n = 1 + Random(2); n > 0; --n) Mutate(lines);
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

}  // namespace qz::test
