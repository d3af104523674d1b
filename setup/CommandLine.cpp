#include "setup/CommandLine.h"

#include "text/CodePage.h"

namespace qz {
namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// The command line after the program's path, which the system quotes when
// it holds blanks.
std::u16string_view AfterProgram(std::u16string_view line) {
  std::size_t end = 0;
  if (!line.empty() && line[0] == u'"') {
    end = line.find(u'"', 1);
    end = end == std::u16string_view::npos ? line.size() : end + 1;
  } else {
    while (end < line.size() && !IsBlank(line[end])) ++end;
  }
  return line.substr(end);
}

// Whether `text` begins with the option `prefix` (ASCII), in either case.
bool StartsWithOption(std::u16string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char16_t c = text[i];
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    char16_t wanted = static_cast<char16_t>(prefix[i] >= 'a' && prefix[i] <= 'z' ? prefix[i] - 'a' + 'A' : prefix[i]);
    if (c != wanted) return false;
  }
  return true;
}

bool Is(std::u16string_view word, std::string_view option) {
  return word.size() == option.size() && StartsWithOption(word, option);
}

// A word only shown in a message: a character Windows-1250 lacks as '?'.
std::string Shown(std::u16string_view word) {
  std::string text;
  Cp1250FromUtf16(word, text);
  return text;
}

}  // namespace

bool ParseSetupCommandLine(std::u16string_view commandLine, SetupCommandLine& options, std::string& problem) {
  options = SetupCommandLine();
  problem.clear();
  std::u16string_view rest = AfterProgram(commandLine);
  for (;;) {
    while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
    if (rest.empty()) break;
    if (StartsWithOption(rest, "/D=")) {
      // The rest of the line, as it stands.
      options.hasDir = true;
      options.dirConvertible = Cp1250FromUtf16(rest.substr(3), options.dir);
      if (options.dir.empty()) {
        problem = "a /D= kapcsoló után hiányzik a könyvtár";
        return false;
      }
      break;
    }
    std::size_t end = 0;
    while (end < rest.size() && !IsBlank(rest[end])) ++end;
    std::u16string_view word = rest.substr(0, end);
    rest.remove_prefix(end);
    if (Is(word, "/S")) {
      options.silent = true;
    } else if (Is(word, "/NOOVERWRITE")) {
      options.noOverwrite = true;
    } else if (problem.empty()) {
      // Read on all the same: whether /S is there tells the caller where
      // the message may go.
      problem = "ismeretlen kapcsoló: " + Shown(word);
    }
  }
  if (problem.empty() && !options.silent && (options.hasDir || options.noOverwrite)) {
    problem = "a /D= és a /NOOVERWRITE kapcsoló csak a /S kapcsolóval együtt adható meg";
  }
  return problem.empty();
}

std::string SetupUsage(std::string_view problem) {
  return "Hibás parancssor: " + std::string(problem) +
         "\n\nHasználat: QZSetup.exe [/S [/NOOVERWRITE] [/D=könyvtár]]";
}

}  // namespace qz
