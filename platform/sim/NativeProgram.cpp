#include "platform/sim/NativeProgram.h"

#include <cstdio>
#include <cstdlib>

#include "text/CodePage.h"

namespace qz::platform::sim {

std::filesystem::path DefaultMachineDir() {
  const char* data = std::getenv("XDG_DATA_HOME");
  std::filesystem::path base;
  if (data && *data) {
    base = data;
  } else {
    const char* home = std::getenv("HOME");
    base = std::filesystem::path(home && *home ? home : ".") / ".local" / "share";
  }
  return base / "qzsetup" / "machine";
}

void EchoTranscript(SimUserInterface& ui) {
  ui.SetTranscriptEcho([](const std::string& line) {
    std::string text = Utf8FromCp1250(line);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
  });
}

bool ProgramArgument(const char* utf8, std::string& text) { return Cp1250FromUtf8(utf8, text); }

int ReportTrouble(const char* program, const std::exception& e) {
  std::fflush(stdout);
  std::fprintf(stderr, "%s: %s\n", program, Utf8FromCp1250(e.what()).c_str());
  return kExitTrouble;
}

}  // namespace qz::platform::sim
