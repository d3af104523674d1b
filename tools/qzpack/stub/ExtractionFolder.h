#pragma once
// The folder the stub extracts into: made new below the user's temporary
// folder, with an unpredictable name, and an access list that lets only the
// running user, the administrators and the system in; nobody else can plant
// or change a file in it between the extraction and the setup program's run.

#include <windows.h>

#include <string>

namespace qz::pack::win32 {

// "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;<user>)": protected from
// the parent's entries, inherited by everything made inside.
std::wstring ExtractionFolderSddl(const std::wstring& userSid);
// The running process's user, as "S-1-5-...".
bool CurrentUserSid(std::wstring& sid);

// Makes the folder below `parent` ("qzsetup-" and 16 random hex digits; a
// name that exists already is never reused). 0 or the Win32 error.
DWORD MakeExtractionFolder(const std::wstring& parent, std::wstring& folder);

// Removes `folder` and everything below it. A link or junction met inside
// is removed itself, never walked into. False if anything stays.
bool RemoveTree(const std::wstring& folder);

}  // namespace qz::pack::win32
