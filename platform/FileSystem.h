#pragma once
// Files and directories, shaped after the Win32 calls the programs use.
// Paths are Windows paths in Windows-1250; every operation reports a Win32
// error code (0 for success). A name the system holds with a character
// Windows-1250 lacks comes over with a '?' in its place: no path the
// programs act on holds one.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Errors.h"
#include "text/Text.h"

namespace qz::platform {

// File attributes as Win32 defines them.
inline constexpr std::uint32_t kAttributeReadOnly = 0x01;
inline constexpr std::uint32_t kAttributeHidden = 0x02;
inline constexpr std::uint32_t kAttributeSystem = 0x04;
inline constexpr std::uint32_t kAttributeDirectory = 0x10;
inline constexpr std::uint32_t kAttributeArchive = 0x20;
inline constexpr std::uint32_t kAttributeNormal = 0x80;
// A symbolic link or junction: removing it removes the link alone.
inline constexpr std::uint32_t kAttributeReparsePoint = 0x400;

// What other openers may do while a file is open (FILE_SHARE_READ/WRITE).
struct ShareMode {
  bool read;
  bool write;
};
inline constexpr ShareMode kShareReadWrite{true, true};
inline constexpr ShareMode kShareRead{true, false};
inline constexpr ShareMode kShareWrite{false, true};

struct FindEntry {
  PathText name;  // a character Windows-1250 lacks as '?'
  std::uint32_t attributes = 0;
  bool IsDirectory() const { return (attributes & kAttributeDirectory) != 0; }
  // A symbolic link or junction, to be handled as an entry of its own and
  // never walked into.
  bool IsLink() const { return (attributes & kAttributeReparsePoint) != 0; }
  bool IsDots() const { return name == "." || name == ".."; }
};

// An open directory search (FindFirstFile/FindNextFile); ends on destruction.
class DirectorySearch {
 public:
  virtual ~DirectorySearch() = default;
  // The next entry, or false when the search has no more.
  virtual bool Next(FindEntry& entry) = 0;
};

// A file opened for reading bytes.
class InputFile {
 public:
  virtual ~InputFile() = default;
  // Reads up to `size` bytes; `got` is 0 at the end of the file. False on a
  // read error.
  virtual bool Read(void* buffer, std::size_t size, std::size_t& got) = 0;
  virtual bool Rewind() = 0;
};

// A file opened for appending in text mode: every "\n" written is stored as
// "\r\n". Writes are buffered; they reach the file at the latest on close.
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  virtual bool Write(const char* text, std::size_t size) = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Empty when the system's path does not fit or holds a character
  // Windows-1250 lacks.
  virtual PathText WindowsDir() = 0;
  virtual PathText SystemDir() = 0;
  // The system's and the user's folders that hold more than one program's
  // files, besides the Windows and system directories: the Program Files
  // folders (both of them on 64-bit Windows), the all-users data folder, the
  // user's profile and the all-users shell folders. Paths as the system
  // gives them, a character Windows-1250 lacks as '?' (the folder stays
  // protected in that form).
  virtual std::vector<std::string> SystemFolders() = 0;
  // The long, final path of what exists at `path`: short names made long,
  // links, junctions, substituted and mapped drives followed, as "X:\...",
  // as "\\?\UNC\server\share\..." for what lies on a network share (a
  // mapped drive's files too), or in the "\\?\..." form the system gives
  // for what lies elsewhere. 2 or 3 when nothing is there (53 for a share
  // that cannot be reached); 1113 when the final path holds a character
  // Windows-1250 lacks (`finalPath` then shows it with '?').
  virtual ErrorCode FinalPath(const char* path, PathText& finalPath) = 0;

  // One level: the parent must exist. 183 when the name exists already.
  virtual ErrorCode MakeDirectory(const char* path) = 0;
  // 80 when the target exists and failIfExists is set; 5 for a read-only
  // or hidden target (Wine replaces one); 38 when the source gives fewer
  // bytes than its size. A copy that fails once the target is open leaves
  // no target. The copy carries the source's attributes (read-only among
  // them) and last-write time, as CopyFile does; `copiedAttributes`, when
  // given, receives the attributes.
  virtual ErrorCode CopyFileTo(const char* source, const char* target, bool failIfExists,
                               std::uint32_t* copiedAttributes) = 0;
  ErrorCode CopyFileTo(const char* source, const char* target, bool failIfExists) {
    return CopyFileTo(source, target, failIfExists, nullptr);
  }
  virtual ErrorCode GetAttributes(const char* path, std::uint32_t& attributes) = 0;
  virtual ErrorCode SetAttributes(const char* path, std::uint32_t attributes) = 0;
  virtual ErrorCode RemoveFile(const char* path) = 0;
  // The directory must be empty (145 otherwise). A link to a directory is
  // removed itself, whatever it points to.
  virtual ErrorCode RemoveDir(const char* path) = 0;

  // Starts a search for a pattern such as "C:\dir\*.*"; the first entry is
  // returned by the first Next(). Null with the error when nothing matches
  // (2) or the directory is missing (3).
  virtual std::unique_ptr<DirectorySearch> FindFiles(const char* pattern, ErrorCode& error) = 0;

  virtual std::unique_ptr<InputFile> OpenForReading(const char* path, ShareMode share,
                                                    ErrorCode& error) = 0;
  // Opens for appending, creating the file when missing.
  virtual std::unique_ptr<OutputFile> OpenForAppending(const char* path, ShareMode share,
                                                       ErrorCode& error) = 0;

  // The system's message text for an error code, with its own line end;
  // empty when the system has none; a character Windows-1250 lacks as '?'.
  virtual void ErrorMessage(ErrorCode code, TextBuffer& text) = 0;
};

}  // namespace qz::platform
