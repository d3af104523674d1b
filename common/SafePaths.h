#pragma once
// Paths that come from outside the programs (registry values, script lines,
// shortcut titles, the command line) are used only once a rule here proves
// them the programs' own. Nothing is normalised: a path that is not already
// in its one plain form is refused, so what is checked is what Windows will
// act on.

#include <initializer_list>
#include <string_view>

namespace qz {

// Why a path or name is refused.
enum class PathFault {
  kNone,
  kEmpty,
  kTooLong,             // more than 259 characters
  kNotFullyQualified,   // a directory without "X:\" at its start
  kNotRelative,         // an item below a root that names a drive or starts at one
  kDeviceOrNetwork,     // "\\server\share", "\\?\", "\\.\"
  kForwardSlash,
  kDriveRoot,           // "X:\" itself
  kEmptyName,           // "\\" inside, or a trailing "\"
  kDotName,             // ".", "..", or a name made only of dots and blanks
  kTrailingDotOrBlank,  // Windows would drop them and name another file
  kInvalidCharacter,    // < > : " | ? * or a control character (and "\" in a name)
  kReservedName,        // CON, PRN, AUX, NUL, COM1-9, LPT1-9, with any extension
};

// A directory that a program deletes from or writes below:
// "X:\name[\name...]", at most 259 characters.
PathFault CheckDirectoryPath(std::string_view path);
// A folder of the user's shell and what lies below it (the program group,
// the desktop shortcut: companies and schools redirect these folders to a
// share), and where a directory resolves on disk (a mapped drive resolves
// to its share): "X:\name[\name...]" or "\\server\share\name[\name...]".
// A share itself is refused as a drive's root is.
PathFault CheckFolderPath(std::string_view path);
// An item's path below a section's root: "name[\name...]".
PathFault CheckItemPath(std::string_view path);
// One name of a path: a program group, an application's name.
PathFault CheckName(std::string_view name);
// A shortcut's title: its link file is the title followed by ".lnk", so a
// title may end in dots or blanks ("Beállítások..."); one made only of
// dots and blanks may not, nor one that names a device with ".lnk".
PathFault CheckShortcutTitle(std::string_view title);

// Whether a refused item path would have led out of its root (a drive, a
// network or device path, "..", "/"), rather than naming a file Windows
// cannot make there (a device name, a trailing dot, a bad character).
bool LeadsOutOfRoot(PathFault fault);

// The application's name names a registry key below the maker's key, the
// uninstall entry and the program group folder, which the uninstaller
// deletes whole: it must be one valid name of at most 255 characters.
// Both programs apply this one rule.
bool IsValidAppName(std::string_view name);

// The fault in words ("" for kNone): for the programs' log lines, and for
// the medium checker's findings ("it holds a device name").
const char* PathFaultText(PathFault fault);
const char* PathFaultReason(PathFault fault);

// True when `upper` is `lower` or a directory above it. Both are paths
// that passed CheckDirectoryPath; names compare without regard to case.
bool IsSameOrAbove(std::string_view upper, std::string_view lower);

// True when `directory` is empty, names a drive's root (also "C:", "\" or a
// network share), or is one of the protected directories or lies above one
// of them. Paths compare without regard to case, with "/" as "\", trailing
// separators dropped and "." and ".." components resolved. A relative path
// is compared as written. (For paths the programs formed themselves, such
// as the backup directory; paths from outside go through the rules above.)
bool IsProtectedDirectory(std::string_view directory, std::initializer_list<std::string_view> protectedDirs);

}  // namespace qz
