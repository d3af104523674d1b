#pragma once
// What the native command-line programs (QZSetup, qzuninst) share: where
// their machine lies, how the transcript reaches the terminal, how their
// arguments become the Windows-1250 texts the programs see, and how a run
// that cannot go on ends.

#include <exception>
#include <filesystem>
#include <string>

#include "platform/sim/SimUserInterface.h"

namespace qz::platform::sim {

inline constexpr int kExitUsage = 64;
inline constexpr int kExitTrouble = 70;

// ${XDG_DATA_HOME:-~/.local/share}/qzsetup/machine
std::filesystem::path DefaultMachineDir();
// Writes every transcript line to standard output in UTF-8 as it is made.
void EchoTranscript(SimUserInterface& ui);
// A command-line argument (UTF-8) as a Windows-1250 text; false when it
// holds a character that Windows-1250 lacks, which `text` then shows as '?'.
bool ProgramArgument(const char* utf8, std::string& text);
// Reports what ended the run on standard error; returns kExitTrouble.
int ReportTrouble(const char* program, const std::exception& e);

}  // namespace qz::platform::sim
