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
  std::string dir;  // as written, in Windows-1250
  // False when the directory holds a character Windows-1250 lacks: `dir`
  // then has a '?' in place of each, and the directory page refuses it.
  bool dirConvertible = true;
};

// Reads the command line as the system hands it over (GetCommandLineW: the
// program's path first, quoted or not), whatever the system's code page.
// False for a line the program does not understand, with the reason in
// `problem` (Windows-1250); `options.silent` then still tells whether /S
// was given.
bool ParseSetupCommandLine(std::u16string_view commandLine, SetupCommandLine& options, std::string& problem);

// The text shown or logged for a command line that was not understood.
std::string SetupUsage(std::string_view problem);

}  // namespace qz
