#include "setup/CommandLine.h"

#include "text/CodePage.h"

namespace qz {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The command line after the program's path, which the system quotes when
// it holds blanks.
std::string_view AfterProgram(std::string_view line) {
  std::size_t end = 0;
  if (!line.empty() && line[0] == '"') {
    end = line.find('"', 1);
    end = end == std::string_view::npos ? line.size() : end + 1;
  } else {
    while (end < line.size() && !IsBlank(line[end])) ++end;
  }
  return line.substr(end);
}

bool Is(std::string_view word, std::string_view option) {
  return word.size() == option.size() && StartsWithNoCase(word, option);
}

}  // namespace

bool ParseSetupCommandLine(std::string_view commandLine, SetupCommandLine& options, std::string& problem) {
  options = SetupCommandLine();
  problem.clear();
  std::string_view rest = AfterProgram(commandLine);
  for (;;) {
    while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
    if (rest.empty()) break;
    if (StartsWithNoCase(rest, "/D=")) {
      // The rest of the line, as it stands.
      options.hasDir = true;
      options.dir = rest.substr(3);
      if (options.dir.empty()) {
        problem = "a /D= kapcsoló után hiányzik a könyvtár";
        return false;
      }
      break;
    }
    std::size_t end = 0;
    while (end < rest.size() && !IsBlank(rest[end])) ++end;
    std::string_view word = rest.substr(0, end);
    rest.remove_prefix(end);
    if (Is(word, "/S")) {
      options.silent = true;
    } else if (Is(word, "/NOOVERWRITE")) {
      options.noOverwrite = true;
    } else if (problem.empty()) {
      // Read on all the same: whether /S is there tells the caller where
      // the message may go.
      problem = "ismeretlen kapcsoló: " + std::string(word);
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
