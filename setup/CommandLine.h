#pragma once
// What QZSetup.exe is told on its command line, as administrators who
// deploy software expect it:
//
//   QZSetup.exe [/S [/NOOVERWRITE] [/D=PATH]]
//
// /S runs the whole wizard unattended, without a window; /D= is the text
// typed into the directory page and must come last: it runs to the end of
// the line, blanks included, unquoted. /NOOVERWRITE answers the question
// whether an existing directory may be installed into with "No". The
// options' letters are taken in either case.

#include <string>
#include <string_view>

namespace qz {

struct SetupCommandLine {
  bool silent = false;
  bool noOverwrite = false;
  bool hasDir = false;
  std::string dir;  // as written, in the program's code page
};

// Reads the command line as the system hands it over (GetCommandLineA: the
// program's path first, quoted or not). False for a line the program does
// not understand, with the reason in `problem`; `options.silent` then
// still tells whether /S was given.
bool ParseSetupCommandLine(std::string_view commandLine, SetupCommandLine& options, std::string& problem);

// The text shown or logged for a command line that was not understood.
std::string SetupUsage(std::string_view problem);

}  // namespace qz
