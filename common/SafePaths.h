#pragma once
// Directories that must never become an application's home directory: the
// programs would install into them, back them up into themselves or remove
// them whole.

#include <initializer_list>
#include <string_view>

namespace qz {

// True when `directory` is empty, names a drive's root (also "C:", "\" or a
// network share), or is one of the protected directories or lies above one
// of them. Paths compare without regard to case, with "/" as "\", trailing
// separators dropped and "." and ".." components resolved. A relative path
// is compared as written.
bool IsProtectedDirectory(std::string_view directory, std::initializer_list<std::string_view> protectedDirs);

}  // namespace qz
