#include "platform/sim/SimFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/TextOutput.h"
#include "platform/sim/SimMachine.h"
#include "text/CodePage.h"

namespace qz::platform::sim {
namespace {

struct MessageEntry {
  ErrorCode code;
  const char* text;
};
constexpr MessageEntry kMessages[] = {
#include "platform/sim/WineMessages.inc"
};

bool IsReadOnlyMode(mode_t mode) { return (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0; }

// The mode a file opened with O_CREAT and 0644 gets: 0644 without the bits
// of the process's umask, as /proc tells it (read once; 0 when unknown, so
// that the mode is always set).
mode_t CreatedMode() {
  static const mode_t mode = [] {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return static_cast<mode_t>(0);
    char line[256];
    unsigned mask = 0;
    bool found = false;
    while (!found && std::fgets(line, sizeof line, status)) found = std::sscanf(line, "Umask: %o", &mask) == 1;
    std::fclose(status);
    return found ? static_cast<mode_t>(0644 & ~mask) : static_cast<mode_t>(0);
  }();
  return mode;
}

bool IsHostLink(const std::string& host) {
  struct stat st;
  return !host.empty() && lstat(host.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// Hidden and system are kept where Wine keeps them: in the extended
// attribute "user.DOSATTRIB", as "0x" and the bits in hexadecimal.
constexpr const char* kDosAttributes = "user.DOSATTRIB";
constexpr std::uint32_t kStoredAttributes = kAttributeHidden | kAttributeSystem;

std::uint32_t StoredAttributes(const std::string& host) {
  char text[32];
  ssize_t n = getxattr(host.c_str(), kDosAttributes, text, sizeof text - 1);
  if (n <= 2 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) return 0;
  text[n] = '\0';
  return static_cast<std::uint32_t>(std::strtoul(text + 2, nullptr, 16)) & kStoredAttributes;
}

// `fd` when the file is open, else its host path.
int StoreAttributes(int fd, const std::string& host, std::uint32_t attributes) {
  attributes &= kStoredAttributes;
  if (attributes == 0) {
    int removed = fd >= 0 ? fremovexattr(fd, kDosAttributes) : removexattr(host.c_str(), kDosAttributes);
    return removed != 0 && errno != ENODATA && errno != ENOTSUP ? -1 : 0;
  }
  char text[16];
  int n = std::snprintf(text, sizeof text, "0x%x", attributes);
  std::size_t size = static_cast<std::size_t>(n);
  return fd >= 0 ? fsetxattr(fd, kDosAttributes, text, size, 0) : setxattr(host.c_str(), kDosAttributes, text, size, 0);
}

ErrorCode MissingError(const ResolvedPath& r) {
  return r.parentExists ? kErrorFileNotFound : kErrorPathNotFound;
}

ErrorCode ErrnoToError(int err) {
  switch (err) {
    case ENOENT: return kErrorFileNotFound;
    case ENOTDIR: return kErrorPathNotFound;
    case EACCES: case EPERM: case EROFS: return kErrorAccessDenied;
    case EEXIST: return kErrorAlreadyExists;
    case ENOTEMPTY: return kErrorDirNotEmpty;
    case ENOSPC: case EDQUOT: return kErrorDiskFull;
    case ENAMETOOLONG: return kErrorFilenameTooLong;
    case EBUSY: return kErrorSharingViolation;
    default: return kErrorAccessDenied;
  }
}

class SimDirectorySearch : public DirectorySearch {
 public:
  explicit SimDirectorySearch(std::vector<FindEntry> entries) : entries_(std::move(entries)) {}
  bool Next(FindEntry& entry) override {
    if (next_ >= entries_.size()) return false;
    entry = entries_[next_++];
    return true;
  }

 private:
  std::vector<FindEntry> entries_;
  std::size_t next_ = 0;
};

class SimInputFile : public InputFile {
 public:
  SimInputFile(SimFileSystem& files, std::string host, int fd) : files_(files), host_(std::move(host)), fd_(fd) {}
  ~SimInputFile() override {
    close(fd_);
    files_.Unregister(host_, this);
  }
  bool Read(void* buffer, std::size_t size, std::size_t& got) override {
    got = 0;
    for (;;) {
      ssize_t n = read(fd_, buffer, size);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return false;
      got = static_cast<std::size_t>(n);
      return true;
    }
  }
  bool Rewind() override { return lseek(fd_, 0, SEEK_SET) == 0; }

 private:
  SimFileSystem& files_;
  std::string host_;
  int fd_;
};

class SimOutputFile : public TextOutput {
 public:
  SimOutputFile(SimFileSystem& files, std::string host, int fd) : files_(files), host_(std::move(host)), fd_(fd) {}
  ~SimOutputFile() override {
    Flush();
    close(fd_);
    files_.Unregister(host_, this);
  }

 private:
  bool WriteRaw(const char* bytes, std::size_t size) override {
    if (files_.IsDriveFull(host_)) return false;
    std::size_t done = 0;
    while (done < size) {
      ssize_t n = write(fd_, bytes + done, size - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      done += static_cast<std::size_t>(n);
    }
    return true;
  }

  SimFileSystem& files_;
  std::string host_;
  int fd_;
};

// A host file descriptor owned by one scope, closed when the scope ends or
// before by Close(), whose result a writer looks at.
class HostFile {
 public:
  explicit HostFile(int fd) : fd_(fd) {}
  ~HostFile() {
    if (valid()) close(fd_);
  }
  HostFile(const HostFile&) = delete;
  HostFile& operator=(const HostFile&) = delete;

  bool valid() const { return fd_ >= 0; }
  int get() const { return fd_; }
  // Closes now: 0, or the error of the close.
  ErrorCode Close() { return close(std::exchange(fd_, -1)) == 0 ? kOk : ErrnoToError(errno); }

 private:
  int fd_;
};

// One read of at most `size` bytes, all of them written: the count read,
// 0 at the end, -1 with errno.
ssize_t ReadAndWrite(int from, int to, std::size_t size) {
  static thread_local std::vector<char> buffer(1 << 20);
  ssize_t n = read(from, buffer.data(), std::min(size, buffer.size()));
  for (ssize_t done = 0; n > 0 && done < n;) {
    ssize_t w = write(to, buffer.data() + done, static_cast<std::size_t>(n - done));
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) {
      if (w == 0) errno = EIO;
      return -1;
    }
    done += w;
  }
  return n;
}

bool KernelCannotCopy(int err) {
  return err == EXDEV || err == EINVAL || err == ENOSYS || err == EOPNOTSUPP || err == EBADF;
}

// Reads until a read returns nothing, as the Windows copy does: within the
// kernel where it can (copy_file_range), else through a buffer; shaped
// reads (CopyReads) go through the buffer. 38 when the count is not the
// `size` the source had when it was opened.
ErrorCode CopyContents(int from, int to, off_t size, CopyReads& reads) {
  bool inKernel = !reads.shaped();
  off_t copied = 0;
  for (;;) {
    ssize_t n = inKernel ? copy_file_range(from, nullptr, to, nullptr, std::size_t{1} << 30, 0)
                         : ReadAndWrite(from, to, reads.Next(std::size_t{1} << 20));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && inKernel && copied == 0 && KernelCannotCopy(errno)) {
      inKernel = false;
      continue;
    }
    if (n < 0) return ErrnoToError(errno);
    if (n == 0) break;
    copied += n;
  }
  return copied == size ? kOk : kErrorHandleEof;
}

// The source's time and attributes on its copy, as CopyFile carries them.
ErrorCode CarryTimeAndAttributes(int to, const struct stat& source, std::uint32_t stored,
                                 std::uint32_t* copiedAttributes) {
  struct timespec times[2] = {source.st_atim, source.st_mtim};
  if (futimens(to, times) != 0) return ErrnoToError(errno);
  mode_t mode = IsReadOnlyMode(source.st_mode) ? 0444 : 0644;
  if (mode != CreatedMode() && fchmod(to, mode) != 0) return ErrnoToError(errno);
  if (stored != 0 && StoreAttributes(to, {}, stored) != 0) return ErrnoToError(errno);
  if (copiedAttributes) {
    *copiedAttributes = kAttributeArchive | stored | (IsReadOnlyMode(source.st_mode) ? kAttributeReadOnly : 0);
  }
  return kOk;
}

}  // namespace

SimFileSystem::SimFileSystem(const SimPaths& paths) : paths_(paths) {}

PathText SimFileSystem::WindowsDir() { return PathText("C:\\windows"); }
PathText SimFileSystem::SystemDir() { return PathText("C:\\windows\\system32"); }

// The path with each short 8.3 name replaced by the long name it stands
// for, as a directory search finds it; names that are no short names of
// anything stay.
std::string SimFileSystem::LongNames(std::string_view path) {
  if (path.find('~') == std::string_view::npos) return std::string(path);
  std::string out;  // empty or ending in a separator before each name
  std::string_view rest = path;
  if (rest.size() >= 3 && rest[1] == ':' && (rest[2] == '\\' || rest[2] == '/')) {
    out = std::string(rest.substr(0, 2)) + '\\';
    rest.remove_prefix(3);
  }
  while (!rest.empty()) {
    std::size_t end = rest.find_first_of("\\/");
    std::string chosen(rest.substr(0, end));
    if (chosen.find('~') != std::string::npos) {
      ErrorCode error = kOk;
      auto search = FindFiles((out + chosen).c_str(), error);
      FindEntry entry;
      while (search && search->Next(entry)) {
        if (!entry.IsDots()) {
          chosen = entry.name.c_str();
          break;
        }
      }
    }
    out += chosen;
    if (end == std::string_view::npos) break;
    out += '\\';
    rest.remove_prefix(end + 1);
  }
  return out;
}

// The folders of a 64-bit Wine prefix, where Wine keeps them.
std::vector<std::string> SimFileSystem::SystemFolders() {
  std::string profile = "C:\\users\\";
  std::string user;
  if (!Cp1250FromUtf8(SimMachine::UserName(), user)) user = "user";
  profile += user;
  return {"C:\\Program Files",
          "C:\\Program Files (x86)",
          "C:\\Program Files\\Common Files",
          "C:\\Program Files (x86)\\Common Files",
          "C:\\ProgramData",
          "C:\\ProgramData\\Microsoft\\Windows\\Start Menu",
          "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs",
          "C:\\users\\Public",
          "C:\\users\\Public\\Desktop",
          "C:\\users\\Public\\Documents",
          profile};
}

// Follows every link with the host's realpath and names the result as a
// Windows path; what lies outside the machine's drives keeps a "\\?\"
// form that names no drive, as Windows gives for a volume without a letter.
ErrorCode SimFileSystem::FinalPath(const char* path, PathText& finalPath) {
  ResolvedPath r = paths_.Resolve(LongNames(path));
  if (r.error) return r.error;
  if (!r.exists) return MissingError(r);
  char* real = realpath(r.host.c_str(), nullptr);
  if (!real) return ErrnoToError(errno);
  std::string host = real;
  std::free(real);
  std::string windows;
  bool convertible = true;
  if (!paths_.WindowsPathOf(host, windows, convertible)) {
    windows = "\\\\?\\GLOBALROOT";
    for (char c : host) windows += c == '/' ? '\\' : c;
  } else if (windows.size() > 2 && windows[0] == '\\' && windows[1] == '\\') {
    // What lies on a share, a mapped drive's files too, as Windows names it.
    windows = "\\\\?\\UNC\\" + windows.substr(2);
  }
  if (!finalPath.Assign(windows)) {
    finalPath.Clear();
    return kErrorFilenameTooLong;
  }
  return convertible ? kOk : kErrorNoUnicodeTranslation;
}

bool SimFileSystem::IsDriveFull(const std::string& host) const {
  return fullDrives_.count(paths_.DriveOf(host)) != 0;
}

bool SimFileSystem::IsInUse(const std::string& host) const { return inUse_.count(host) != 0; }

void SimFileSystem::SetInUse(const char* path, bool inUse) {
  ResolvedPath r = paths_.Resolve(path);
  if (r.error) return;
  if (inUse) inUse_.insert(r.host);
  else inUse_.erase(r.host);
}

void SimFileSystem::SetDriveFull(char letter, bool full) {
  char lower = static_cast<char>(letter | 0x20);
  if (full) fullDrives_.insert(lower);
  else fullDrives_.erase(lower);
}

void SimFileSystem::Register(const std::string& host, const OpenRecord& record, const void* owner) {
  open_[host][owner] = record;
}

void SimFileSystem::Unregister(const std::string& host, const void* owner) {
  auto it = open_.find(host);
  if (it == open_.end()) return;
  it->second.erase(owner);
  if (it->second.empty()) open_.erase(it);
}

bool SimFileSystem::ConflictsWithOpen(const std::string& host, bool reads, bool writes, ShareMode share) const {
  auto it = open_.find(host);
  if (it == open_.end()) return false;
  for (const auto& [owner, other] : it->second) {
    if (reads && !other.share.read) return true;
    if (writes && !other.share.write) return true;
    if (other.reads && !share.read) return true;
    if (other.writes && !share.write) return true;
  }
  return false;
}

ErrorCode SimFileSystem::MakeDirectory(const char* path) {
  ResolvedPath r = paths_.Resolve(path);
  if (r.error) return r.error;
  if (r.exists) return kErrorAlreadyExists;
  if (!r.parentExists) return kErrorPathNotFound;
  if (IsDriveFull(r.host)) return kErrorDiskFull;
  if (mkdir(r.host.c_str(), 0755) != 0) return ErrnoToError(errno);
  return kOk;
}

ErrorCode SimFileSystem::CopyFileTo(const char* source, const char* target, bool failIfExists,
                                    std::uint32_t* copiedAttributes) {
  ResolvedPath from = paths_.Resolve(source);
  if (from.error) return from.error;
  if (!from.exists) return MissingError(from);
  if (from.isDirectory) return kErrorAccessDenied;
  ResolvedPath to = paths_.Resolve(target);
  if (to.error) return to.error;
  if (!to.parentExists) return kErrorPathNotFound;
  if (IsInUse(from.host) || ConflictsWithOpen(from.host, true, false, kShareRead)) return kErrorSharingViolation;
  if (to.exists) {
    if (to.isDirectory) return kErrorAccessDenied;
    if (failIfExists) return kErrorFileExists;
    // The target is opened without sharing: any other opener stands in the way.
    if (IsInUse(to.host) || ConflictsWithOpen(to.host, false, true, ShareMode{false, false})) {
      return kErrorSharingViolation;
    }
    // Windows refuses to replace a read-only, hidden or system file (Wine
    // does not).
    if (IsReadOnlyMode(to.info.st_mode) || StoredAttributes(to.host) != 0) return kErrorAccessDenied;
  }
  if (IsDriveFull(to.host)) return kErrorDiskFull;

  HostFile in(open(from.host.c_str(), O_RDONLY | O_CLOEXEC));
  if (!in.valid()) return ErrnoToError(errno);
  ErrorCode error = kOk;
  {
    if (to.exists) chmod(to.host.c_str(), 0644);  // root could write anyway; keep it plain
    HostFile out(open(to.host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!out.valid()) return ErrnoToError(errno);
    error = CopyContents(in.get(), out.get(), from.info.st_size, copyReads_);
    // A copy that is not whole never gets the source's time.
    if (error == kOk) {
      error = CarryTimeAndAttributes(out.get(), from.info, StoredAttributes(from.host), copiedAttributes);
    }
    ErrorCode closed = out.Close();
    if (error == kOk) error = closed;
  }
  if (error != kOk) unlink(to.host.c_str());
  return error;
}

ErrorCode SimFileSystem::GetAttributes(const char* path, std::uint32_t& attributes) {
  ResolvedPath r = paths_.Resolve(path);
  if (r.error) return r.error;
  if (!r.exists) return MissingError(r);
  attributes = S_ISDIR(r.info.st_mode) ? kAttributeDirectory : kAttributeArchive;
  if (IsReadOnlyMode(r.info.st_mode)) attributes |= kAttributeReadOnly;
  if (IsHostLink(r.host)) attributes |= kAttributeReparsePoint;
  attributes |= StoredAttributes(r.host);
  return kOk;
}

ErrorCode SimFileSystem::SetAttributes(const char* path, std::uint32_t attributes) {
  ResolvedPath r = paths_.Resolve(path);
  if (r.error) return r.error;
  if (!r.exists) return MissingError(r);
  mode_t old = static_cast<mode_t>(r.info.st_mode & 07777);
  mode_t mode = old;
  if (attributes & kAttributeReadOnly) mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
  else mode |= S_IWUSR;
  if (mode != old && chmod(r.host.c_str(), mode) != 0) return ErrnoToError(errno);
  if ((attributes & kStoredAttributes) != StoredAttributes(r.host) && StoreAttributes(-1, r.host, attributes) != 0) {
    return ErrnoToError(errno);
  }
  return kOk;
}

ErrorCode SimFileSystem::RemoveFile(const char* path) {
  ResolvedPath r = paths_.Resolve(path);
  if (r.error) return r.error;
  // A link whose target is gone is still there to be deleted.
  if (!r.exists && IsHostLink(r.host)) return unlink(r.host.c_str()) == 0 ? kOk : ErrnoToError(errno);
  if (!r.exists) return MissingError(r);
  if (r.isDirectory) return kErrorAccessDenied;
  if (IsInUse(r.host) || open_.count(r.host)) return kErrorSharingViolation;
  if (IsReadOnlyMode(r.info.st_mode)) return kErrorAccessDenied;
  if (unlink(r.host.c_str()) != 0) return ErrnoToError(errno);
  return kOk;
}

ErrorCode SimFileSystem::RemoveDir(const char* path) {
  ResolvedPath r = paths_.Resolve(path);
  if (r.error) return r.error;
  if (!r.exists) return MissingError(r);
  if (!r.isDirectory) return kErrorDirectory;
  if (r.isDriveRoot) return kErrorAccessDenied;
  if (IsInUse(r.host)) return kErrorSharingViolation;
  // A link to a directory goes itself; what it points to stays.
  if (IsHostLink(r.host)) return unlink(r.host.c_str()) == 0 ? kOk : ErrnoToError(errno);
  if (rmdir(r.host.c_str()) != 0) {
    if (errno == ENOTEMPTY || errno == EEXIST) return kErrorDirNotEmpty;
    return ErrnoToError(errno);
  }
  return kOk;
}

std::unique_ptr<DirectorySearch> SimFileSystem::FindFiles(const char* pattern, ErrorCode& error) {
  std::string_view text = pattern;
  std::size_t cut = text.find_last_of("\\/");
  std::string dirPart = cut == std::string_view::npos ? std::string() : std::string(text.substr(0, cut + 1));
  std::string namePattern(cut == std::string_view::npos ? text : text.substr(cut + 1));
  if (dirPart.empty() && text.size() >= 2 && text[1] == ':') {
    dirPart = std::string(text.substr(0, 2));
    namePattern = std::string(text.substr(2));
  }
  ResolvedPath dir = paths_.Resolve(dirPart.empty() ? "." : dirPart.c_str());
  if (dir.error) {
    error = dir.error;
    return nullptr;
  }
  if (!dir.exists || !dir.isDirectory) {
    error = kErrorPathNotFound;
    return nullptr;
  }
  if (namePattern.empty()) {
    error = kErrorFileNotFound;
    return nullptr;
  }
  std::vector<FindEntry> entries;
  DIR* d = opendir(dir.host.c_str());
  if (!d) {
    error = ErrnoToError(errno);
    return nullptr;
  }
  std::string name;
  while (dirent* e = readdir(d)) {
    if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
    // A name Windows-1250 lacks a letter of is listed with a '?' for it, as
    // the system's wide listing comes over.
    Cp1250FromUtf8(e->d_name, name);
    if (name.size() >= 260) continue;
    if (!MatchesPattern(name, namePattern)) continue;
    struct stat st;
    if (fstatat(dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    // A host symbolic link is a reparse point, a directory one when it
    // points at a directory (a dangling link counts as a file link).
    bool link = S_ISLNK(st.st_mode);
    if (link && fstatat(dirfd(d), e->d_name, &st, 0) != 0) st.st_mode = S_IFREG | 0644;
    FindEntry entry;
    entry.name.Assign(name);
    entry.attributes = S_ISDIR(st.st_mode) ? kAttributeDirectory : kAttributeArchive;
    if (link) entry.attributes |= kAttributeReparsePoint;
    if (IsReadOnlyMode(st.st_mode) && !S_ISDIR(st.st_mode)) entry.attributes |= kAttributeReadOnly;
    entry.attributes |= StoredAttributes(dir.host + "/" + e->d_name);
    entries.push_back(entry);
  }
  closedir(d);
  // NTFS (and Wine) list a directory in the order of its upper-cased names.
  std::sort(entries.begin(), entries.end(), [](const FindEntry& a, const FindEntry& b) {
    return CompareNoCase(a.name.view(), b.name.view()) < 0;
  });
  if (!dir.isDriveRoot) {
    // Every directory but a drive's root lists "." and ".." first.
    std::vector<FindEntry> dots;
    for (const char* dotName : {".", ".."}) {
      if (!MatchesPattern(dotName, namePattern)) continue;
      FindEntry entry;
      entry.name.Assign(dotName);
      entry.attributes = kAttributeDirectory;
      dots.push_back(entry);
    }
    entries.insert(entries.begin(), dots.begin(), dots.end());
  }
  if (entries.empty()) {
    error = kErrorFileNotFound;
    return nullptr;
  }
  error = kOk;
  return std::make_unique<SimDirectorySearch>(std::move(entries));
}

std::unique_ptr<InputFile> SimFileSystem::OpenForReading(const char* path, ShareMode share, ErrorCode& error) {
  ResolvedPath r = paths_.Resolve(path);
  error = r.error;
  if (error) return nullptr;
  if (!r.exists) {
    error = MissingError(r);
    return nullptr;
  }
  if (r.isDirectory) {
    error = kErrorAccessDenied;
    return nullptr;
  }
  if (IsInUse(r.host) || ConflictsWithOpen(r.host, true, false, share)) {
    error = kErrorSharingViolation;
    return nullptr;
  }
  int fd = open(r.host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = ErrnoToError(errno);
    return nullptr;
  }
  auto file = std::make_unique<SimInputFile>(*this, r.host, fd);
  Register(r.host, {true, false, share}, file.get());
  return file;
}

std::unique_ptr<OutputFile> SimFileSystem::OpenForAppending(const char* path, ShareMode share, ErrorCode& error) {
  ResolvedPath r = paths_.Resolve(path);
  error = r.error;
  if (error) return nullptr;
  if (!r.parentExists) {
    error = kErrorPathNotFound;
    return nullptr;
  }
  if (r.isDirectory) {
    error = kErrorAccessDenied;
    return nullptr;
  }
  if (IsInUse(r.host) || ConflictsWithOpen(r.host, false, true, share)) {
    error = kErrorSharingViolation;
    return nullptr;
  }
  if (r.exists && IsReadOnlyMode(r.info.st_mode)) {
    error = kErrorAccessDenied;
    return nullptr;
  }
  int fd = open(r.host.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) {
    error = ErrnoToError(errno);
    return nullptr;
  }
  auto file = std::make_unique<SimOutputFile>(*this, r.host, fd);
  Register(r.host, {false, true, share}, file.get());
  return file;
}

ErrorCode SimFileSystem::WriteWholeFile(const char* path, const std::string& bytes) {
  ResolvedPath r = paths_.Resolve(path);
  if (r.error) return r.error;
  if (!r.parentExists) return kErrorPathNotFound;
  if (r.isDirectory) return kErrorAccessDenied;
  if (IsInUse(r.host) || open_.count(r.host)) return kErrorSharingViolation;
  if (r.exists && IsReadOnlyMode(r.info.st_mode)) return kErrorAccessDenied;
  if (IsDriveFull(r.host)) return kErrorDiskFull;
  int fd = open(r.host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return ErrnoToError(errno);
  ErrorCode error = kOk;
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = n < 0 ? ErrnoToError(errno) : kErrorWriteFault;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  if (close(fd) != 0 && error == kOk) error = ErrnoToError(errno);
  return error;
}

void SimFileSystem::ErrorMessage(ErrorCode code, TextBuffer& text) {
  text.Clear();
  for (const auto& entry : kMessages) {
    if (entry.code == code) {
      text.Assign(entry.text);
      return;
    }
  }
}

}  // namespace qz::platform::sim
