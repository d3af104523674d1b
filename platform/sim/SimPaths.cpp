#include "platform/sim/SimPaths.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <unordered_map>
#include <vector>

#include "text/CodePage.h"

namespace qz::platform::sim {
namespace {

constexpr std::size_t kMaxPath = 260;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsInvalidNameChar(unsigned char c, bool allowWildcards) {
  if (c < 0x20) return true;
  switch (c) {
    case '<': case '>': case ':': case '"': case '|':
      return true;
    case '*': case '?':
      return !allowWildcards;
    default:
      return false;
  }
}

// Windows drops trailing dots and blanks of a path component.
std::string_view StripTrailingDotsAndBlanks(std::string_view name) {
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.remove_suffix(1);
  return name;
}

struct HostEntry {
  bool exists = false;
  bool isDirectory = false;
  struct stat info {};
};

HostEntry Stat(const std::string& hostPath) {
  HostEntry entry;
  if (stat(hostPath.c_str(), &entry.info) != 0) return {};
  entry.exists = true;
  entry.isDirectory = S_ISDIR(entry.info.st_mode);
  return entry;
}

// Appends a Windows name as the host spells it (UTF-8).
void AppendHost(std::string& out, std::string_view name) {
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (static_cast<unsigned char>(name[i]) >= 0x80) {
      out += Utf8FromCp1250(name.substr(i));
      return;
    }
    out += name[i];
  }
}

// A name in an open directory: no walk down the whole path.
HostEntry StatAt(int dirFd, const std::string& name) {
  HostEntry entry;
  if (fstatat(dirFd, name.c_str(), &entry.info, 0) != 0) return {};
  entry.exists = true;
  entry.isDirectory = S_ISDIR(entry.info.st_mode);
  return entry;
}

// Finds the host name in `dir` that equals `name` without regard to case.
bool FindNoCase(const std::string& dir, std::string_view name, std::string& hostName) {
  DIR* d = opendir(dir.c_str());
  if (!d) return false;
  bool found = false;
  std::string converted;
  while (dirent* e = readdir(d)) {
    if (!Cp1250FromUtf8(e->d_name, converted)) continue;
    if (EqualsNoCase(converted, name)) {
      hostName = e->d_name;
      found = true;
      break;
    }
  }
  closedir(d);
  return found;
}

}  // namespace

// The listings of directories inside the machine's folder, so that a name
// that is not there as written is looked for without reading its directory
// each time. Listings stay exact through inotify: every creation, deletion
// and rename in a listed directory, by this program or any other on the
// host, is queued by the kernel before the call that made it returns, and
// the queue is read before every lookup. A listed directory and every
// directory above it up to the machine's folder are watched, so a listing
// also vouches that its directory is still there under its path. Without
// inotify, or beyond its limits, directories are read as before.
class DirectoryCache {
 public:
  enum class Answer { Unknown, Absent, Present };

  explicit DirectoryCache(std::string root) : root_(std::move(root)) {}
  ~DirectoryCache() {
    if (fd_ < 0) return;
    Clear();
    close(fd_);
  }
  DirectoryCache(const DirectoryCache&) = delete;
  DirectoryCache& operator=(const DirectoryCache&) = delete;

  // Whether `dir`, when listed, holds `name` (Windows-1250) without regard
  // to case; `hostName` gets the host's name, the exact one first, and
  // `dirFd` the listed directory, to look the name up in.
  Answer Find(const std::string& dir, std::string_view name, std::string& hostName, int* dirFd = nullptr) {
    if (fd_ < 0) return Answer::Unknown;
    Drain();
    auto path = byPath_.find(dir);
    if (path == byPath_.end()) return Answer::Unknown;
    Node& node = byWd_[path->second];
    if (!node.listed) return Answer::Unknown;
    if (dirFd) *dirFd = node.fd;
    auto range = node.names.equal_range(UpperKey(name));
    if (range.first == range.second) return Answer::Absent;
    std::string exact = Utf8FromCp1250(name);
    hostName = range.first->second;
    for (auto it = range.first; it != range.second; ++it) {
      if (it->second == exact) hostName = exact;
    }
    return Answer::Present;
  }

  // Lists `dir` and keeps the listing; false when it cannot be kept.
  bool Load(const std::string& dir) {
    if (dir.compare(0, root_.size(), root_) != 0 || (dir.size() > root_.size() && dir[root_.size()] != '/')) {
      return false;
    }
    if (fd_ < 0 && !failed_) {
      fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
      failed_ = fd_ < 0;
    }
    if (fd_ < 0) return false;
    if (listed_ >= kMaxListed || names_ >= kMaxNames) Clear();
    // The machine's folder and every directory down to `dir`.
    for (std::size_t at = root_.size(); at != std::string::npos; at = dir.find('/', at + 1)) {
      if (!Watch(dir.substr(0, at))) return false;
    }
    if (!Watch(dir)) return false;
    Drain();
    Node& node = byWd_[byPath_[dir]];
    if (node.listed) return true;
    DIR* d = opendir(dir.c_str());
    if (!d) return false;
    node.names.clear();
    while (dirent* e = readdir(d)) {
      if (std::string_view(e->d_name) == "." || std::string_view(e->d_name) == "..") continue;
      Insert(node, e->d_name);
    }
    node.fd = open(dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    closedir(d);
    if (node.fd < 0) return false;
    node.listed = true;
    ++listed_;
    names_ += node.names.size();
    return true;
  }

 private:
  // A handful of directories at a time: a run works through a tree one
  // directory after another, and the listings must not grow with the tree.
  static constexpr std::size_t kMaxListed = 16;
  static constexpr std::size_t kMaxNames = 65536;
  static constexpr std::uint32_t kMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF |
                                         IN_MOVE_SELF | IN_ONLYDIR;

  struct Node {
    std::string path;
    bool listed = false;
    int fd = -1;  // the directory itself (O_PATH), while listed
    std::unordered_multimap<std::string, std::string> names;  // upper-cased Windows name -> host name
  };

  static std::string UpperKey(std::string_view name) {
    std::string key(name);
    for (char& c : key) c = static_cast<char>(UpperCp1250(static_cast<unsigned char>(c)));
    return key;
  }

  // Names the programs cannot hold (not Windows-1250) are not listed.
  static void Insert(Node& node, const std::string& hostName) {
    std::string converted;
    if (!Cp1250FromUtf8(hostName, converted)) return;
    auto range = node.names.equal_range(UpperKey(converted));
    for (auto it = range.first; it != range.second; ++it) {
      if (it->second == hostName) return;
    }
    node.names.emplace(UpperKey(converted), hostName);
  }

  static void Erase(Node& node, const std::string& hostName) {
    std::string converted;
    if (!Cp1250FromUtf8(hostName, converted)) return;
    auto range = node.names.equal_range(UpperKey(converted));
    for (auto it = range.first; it != range.second; ++it) {
      if (it->second == hostName) {
        node.names.erase(it);
        return;
      }
    }
  }

  bool Watch(const std::string& path) {
    if (byPath_.count(path)) return true;
    int wd = inotify_add_watch(fd_, path.c_str(), kMask);
    if (wd < 0) return false;
    auto known = byWd_.find(wd);
    if (known != byWd_.end()) return known->second.path == path;  // one directory under two names
    byWd_[wd].path = path;
    byPath_[path] = wd;
    return true;
  }

  void Drain() {
    alignas(inotify_event) char buffer[16384];
    for (;;) {
      ssize_t got = read(fd_, buffer, sizeof buffer);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return;
      for (ssize_t at = 0; at < got;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        Apply(*event);
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
  }

  void Apply(const inotify_event& event) {
    if (event.mask & IN_Q_OVERFLOW) {
      Clear();
      return;
    }
    auto found = byWd_.find(event.wd);
    if (found == byWd_.end()) return;
    Node& node = found->second;
    if (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT)) {
      Drop(node.path);
      return;
    }
    if (!node.listed || event.len == 0) return;
    std::string name = event.name;
    if (event.mask & (IN_CREATE | IN_MOVED_TO)) {
      Insert(node, name);
      ++names_;
    }
    if (event.mask & (IN_DELETE | IN_MOVED_FROM)) Erase(node, name);
  }

  // Forgets a directory and everything below it.
  void Drop(std::string path) {
    for (auto it = byWd_.begin(); it != byWd_.end();) {
      const std::string& p = it->second.path;
      if (p == path || (p.size() > path.size() && p.compare(0, path.size(), path) == 0 && p[path.size()] == '/')) {
        if (it->second.listed) --listed_;
        if (it->second.fd >= 0) close(it->second.fd);
        inotify_rm_watch(fd_, it->first);
        byPath_.erase(p);
        it = byWd_.erase(it);
      } else {
        ++it;
      }
    }
  }

  void Clear() {
    for (const auto& [wd, node] : byWd_) {
      if (node.fd >= 0) close(node.fd);
      inotify_rm_watch(fd_, wd);
    }
    byWd_.clear();
    byPath_.clear();
    listed_ = 0;
    names_ = 0;
  }

  std::string root_;
  int fd_ = -1;
  bool failed_ = false;
  std::unordered_map<int, Node> byWd_;
  std::unordered_map<std::string, int> byPath_;
  std::size_t listed_ = 0;
  std::size_t names_ = 0;
};

SimPaths::SimPaths(std::filesystem::path machineRoot, std::filesystem::path workingDir)
    : root_(std::move(machineRoot)),
      workingDir_(std::move(workingDir)),
      cache_(std::make_unique<DirectoryCache>(root_.lexically_normal().string())) {
  for (const auto& part : root_.relative_path()) {
    if (!part.empty()) rootParts_.push_back(part.string());
  }
  for (const auto& part : workingDir_.relative_path()) {
    if (!part.empty()) workingParts_.push_back(part.string());
  }
  // Host paths are joined from these parts, so the drives' prefix is too.
  for (const auto& part : rootParts_) drivePrefix_ += "/" + part;
  drivePrefix_ += "/drive_";
  for (const auto& part : workingParts_) workingPath_ += "/" + part;
}

SimPaths::~SimPaths() = default;

std::filesystem::path SimPaths::DriveRoot(char letter) const {
  char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
  std::filesystem::path drive = root_ / (std::string("drive_") + lower);
  // Made once; every path on the drive comes here first.
  std::size_t index = static_cast<std::size_t>(lower - 'a');
  if (index < madeDrives_.size() && madeDrives_[index]) return drive;
  std::error_code ignored;
  std::filesystem::create_directories(drive, ignored);
  if (index < madeDrives_.size() && std::filesystem::is_directory(drive, ignored)) madeDrives_[index] = true;
  return drive;
}

char SimPaths::DriveOf(const std::string& hostPath) const {
  const std::string& prefix = drivePrefix_;
  if (hostPath.compare(0, prefix.size(), prefix) != 0 || hostPath.size() <= prefix.size()) return 0;
  return hostPath[prefix.size()];
}

std::filesystem::path SimPaths::ShareRoot(std::string_view server, std::string_view share) const {
  auto lower = [](std::string_view name) {
    std::string out = Utf8FromCp1250(name);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
  };
  return root_ / "unc" / lower(server) / lower(share);
}

namespace {

// "\\server\share\rest" of a host path below <root>/unc.
bool SharePathOf(const std::string& root, std::string_view host, std::string& windowsPath, bool& convertible) {
  std::string prefix = root + "/unc/";
  if (host.substr(0, prefix.size()) != prefix) return false;
  std::string converted;
  convertible = Cp1250FromUtf8(host.substr(prefix.size()), converted);
  for (char& c : converted) {
    if (c == '/') c = '\\';
  }
  // A server and a share at least.
  std::size_t server = converted.find('\\');
  if (server == std::string::npos || server == 0 || server + 1 == converted.size()) return false;
  windowsPath = "\\\\" + converted;
  return true;
}

}  // namespace

bool SimPaths::WindowsPathOf(const std::string& canonicalHostPath, std::string& windowsPath, bool& convertible) const {
  std::error_code error;
  std::filesystem::path root = std::filesystem::canonical(root_, error);
  if (error) return false;
  if (SharePathOf(root.string(), canonicalHostPath, windowsPath, convertible)) return true;
  std::string prefix = root.string() + "/drive_";
  std::string_view host = canonicalHostPath;
  if (host.substr(0, prefix.size()) != prefix || host.size() < prefix.size() + 1) return false;
  char letter = host[prefix.size()];
  std::string_view rest = host.substr(prefix.size() + 1);
  if (letter < 'a' || letter > 'z' || (!rest.empty() && rest[0] != '/')) return false;
  std::string converted;
  convertible = Cp1250FromUtf8(rest, converted);
  for (char& c : converted) {
    if (c == '/') c = '\\';
  }
  windowsPath = std::string(1, static_cast<char>(letter - 'a' + 'A')) + ":";
  windowsPath += converted.empty() ? "\\" : converted;
  return true;
}

ResolvedPath SimPaths::Resolve(std::string_view path, bool allowWildcards) const {
  ResolvedPath out;
  if (path.empty()) {
    out.error = kErrorPathNotFound;
    return out;
  }
  if (path.size() >= kMaxPath) {
    out.error = kErrorFilenameTooLong;
    return out;
  }
  // The base: a drive's root, or the working directory.
  std::string_view rest = path;
  char drive = 0;
  std::vector<std::string> shareParts;  // "unc", server, share: a network path's base
  if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
    drive = static_cast<char>(std::tolower(static_cast<unsigned char>(path[0])));
    rest.remove_prefix(2);
  } else if (!path.empty() && IsSeparator(path[0])) {
    if (path.size() >= 2 && IsSeparator(path[1])) {
      // "\\server\share\...": a share the machine reaches; the device
      // forms ("\\?\", "\\.\") name nothing here.
      std::string_view names = path.substr(2);
      std::size_t cut = names.find_first_of("\\/");
      std::string_view server = names.substr(0, cut);
      std::string_view afterServer = cut == std::string_view::npos ? std::string_view() : names.substr(cut + 1);
      std::size_t shareEnd = afterServer.find_first_of("\\/");
      std::string_view share = afterServer.substr(0, shareEnd);
      if (server.empty() || server == "?" || server == "." || share.empty()) {
        out.error = kErrorPathNotFound;
        return out;
      }
      std::filesystem::path shareRoot = ShareRoot(server, share);
      std::error_code ignored;
      if (!std::filesystem::is_directory(shareRoot, ignored)) {
        out.error = kErrorBadNetPath;
        return out;
      }
      shareParts = {"unc", shareRoot.parent_path().filename().string(), shareRoot.filename().string()};
      rest = shareEnd == std::string_view::npos ? std::string_view() : afterServer.substr(shareEnd);
    } else {
      drive = 'c';
    }
  }
  std::size_t baseSize = workingParts_.size();
  std::size_t fixedDepth = 0;  // components that ".." cannot remove
  if (drive) {
    std::size_t index = static_cast<std::size_t>(drive - 'a');
    if (index >= madeDrives_.size() || !madeDrives_[index]) DriveRoot(drive);
    baseSize = fixedDepth = rootParts_.size() + 1;
  } else if (!shareParts.empty()) {
    baseSize = fixedDepth = rootParts_.size() + shareParts.size();
  }

  // Split into Windows components; "." and ".." resolve lexically first, as
  // Windows makes a full path before it looks anything up.
  std::vector<std::string> parts;
  std::size_t i = 0;
  std::size_t climbed = 0;  // ".." that climb above a relative path's start
  while (i < rest.size()) {
    while (i < rest.size() && IsSeparator(rest[i])) ++i;
    std::size_t start = i;
    while (i < rest.size() && !IsSeparator(rest[i])) ++i;
    if (i == start) continue;
    std::string_view part = rest.substr(start, i - start);
    if (part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      else if (baseSize > fixedDepth + climbed) ++climbed;
      continue;
    }
    for (unsigned char c : part) {
      if (IsInvalidNameChar(c, allowWildcards && i >= rest.size())) {
        out.error = kErrorInvalidName;
        return out;
      }
    }
    std::string_view stripped = StripTrailingDotsAndBlanks(part);
    if (!stripped.empty()) parts.emplace_back(stripped);
  }
  // The base's host components, and the same joined: "/a/b".
  std::vector<std::string> baseParts;
  std::string basePath;
  if (drive) {
    basePath = drivePrefix_ + drive;
  } else if (!shareParts.empty()) {
    for (const auto& part : rootParts_) basePath += "/" + part;
    for (const auto& part : shareParts) basePath += "/" + part;
  } else if (climbed == 0) {
    basePath = workingPath_;
  } else {
    for (std::size_t k = 0; k + climbed < workingParts_.size(); ++k) basePath += "/" + workingParts_[k];
  }
  auto hostBase = [&] {
    if (drive) {
      baseParts = rootParts_;
      baseParts.push_back(std::string("drive_") + drive);
    } else if (!shareParts.empty()) {
      baseParts = rootParts_;
      baseParts.insert(baseParts.end(), shareParts.begin(), shareParts.end());
    } else {
      baseParts.assign(workingParts_.begin(), workingParts_.end() - static_cast<std::ptrdiff_t>(climbed));
    }
  };

  // The common case first: the path exists as written, or everything but
  // its last component does. A listed directory answers for its names
  // without a lookup; otherwise one or two lookups answer what the walk
  // below answers with one per component.
  if (!parts.empty() && !(allowWildcards && parts.back().find_first_of("*?") != std::string::npos)) {
    std::string parent = basePath;
    for (std::size_t k = 0; k + 1 < parts.size(); ++k) {
      parent += '/';
      AppendHost(parent, parts[k]);
    }
    std::string parentDir = parent.empty() ? "/" : parent;
    const std::string& last = parts.back();
    std::string exact = parent + "/";
    AppendHost(exact, last);
    std::string chosen = exact;
    std::string other;
    HostEntry entry;
    bool resolved = false;
    int dirFd = -1;
    switch (cache_->Find(parentDir, last, other, &dirFd)) {
      case DirectoryCache::Answer::Absent:
        resolved = true;
        break;
      case DirectoryCache::Answer::Present:
        chosen = parent + "/" + other;
        entry = StatAt(dirFd, other);
        resolved = entry.exists;
        break;
      case DirectoryCache::Answer::Unknown:
        break;
    }
    if (!resolved) {
      chosen = exact;
      entry = Stat(chosen);
      resolved = entry.exists;
    }
    if (!resolved) {
      HostEntry dir = Stat(parentDir);
      if (dir.exists && dir.isDirectory) {
        resolved = true;
        bool found = cache_->Load(parentDir)
                         ? cache_->Find(parentDir, last, other) == DirectoryCache::Answer::Present
                         : FindNoCase(parentDir, last, other);
        if (found) {
          chosen = parent + "/" + other;
          entry = Stat(chosen);
        }
      }
    }
    if (resolved) {
      out.host = chosen;
      out.name = last;
      out.parentExists = true;
      out.exists = entry.exists;
      out.isDirectory = entry.isDirectory;
      out.info = entry.info;
      return out;
    }
  }

  // Walk the components, looking each up without regard to case.
  hostBase();
  std::vector<std::string> host = baseParts;
  bool missing = false;  // an earlier component does not exist
  std::string lastName;
  for (std::size_t k = 0; k < parts.size(); ++k) {
    const std::string& name = parts[k];
    bool last = k + 1 == parts.size();
    if (last) lastName = name;
    if (missing) {
      // Below something that does not exist: nothing more to look up.
      host.push_back(Utf8FromCp1250(name));
      out.parentExists = false;
      continue;
    }
    std::string dir = "/";
    for (std::size_t h = 0; h < host.size(); ++h) {
      if (h) dir += '/';
      dir += host[h];
    }
    std::string exact = Utf8FromCp1250(name);
    std::string full = dir == "/" ? "/" + exact : dir + "/" + exact;
    HostEntry entry = Stat(full);
    std::string chosen = exact;
    bool wildcard = last && allowWildcards && name.find_first_of("*?") != std::string_view::npos;
    if (!entry.exists && !wildcard) {
      std::string other;
      if (FindNoCase(dir, name, other)) {
        chosen = other;
        entry = Stat(dir == "/" ? "/" + other : dir + "/" + other);
      }
    }
    host.push_back(chosen);
    if (last) {
      out.parentExists = true;
      out.exists = entry.exists && !wildcard;
      out.isDirectory = entry.isDirectory && !wildcard;
      if (out.exists) out.info = entry.info;
    } else {
      missing = !entry.exists;
      if (entry.exists && !entry.isDirectory) {
        // A file in the middle of a path.
        out.error = kErrorPathNotFound;
        return out;
      }
    }
  }

  std::string joined = "/";
  for (const auto& h : host) {
    if (joined.size() > 1) joined += '/';
    joined += h;
  }
  out.host = joined;
  out.name = lastName;
  if (lastName.empty()) {
    // The path names its base itself: a drive root or the working directory.
    HostEntry entry = Stat(joined);
    out.exists = entry.exists;
    out.isDirectory = entry.isDirectory;
    out.info = entry.info;
    out.parentExists = true;
    out.isDriveRoot = host.size() == fixedDepth && fixedDepth > 0;
  }
  return out;
}

namespace {

bool MatchWild(std::string_view name, std::string_view pattern) {
  // Iterative '*' and '?' matching without regard to case.
  std::size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' ||
                               UpperCp1250(static_cast<unsigned char>(pattern[p])) ==
                                   UpperCp1250(static_cast<unsigned char>(name[n])))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool IsShortName(std::string_view name) {
  std::size_t dot = name.rfind('.');
  std::string_view base = dot == std::string_view::npos ? name : name.substr(0, dot);
  std::string_view ext = dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
  if (base.empty() || base.size() > 8 || ext.size() > 3) return false;
  if (base.find('.') != std::string_view::npos) return false;
  for (char c : name) {
    if (c == ' ' || c == '+' || c == ',' || c == ';' || c == '=' || c == '[' || c == ']') return false;
  }
  return true;
}

}  // namespace

// The 8.3 name Windows would give a long name, as far as a pattern can
// tell: the first characters of the base and of the last extension.
std::string ShortNameOf(std::string_view name) {
  std::size_t dot = name.rfind('.');
  std::string_view base = dot == std::string_view::npos ? name : name.substr(0, dot);
  std::string_view ext = dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
  auto keep = [](std::string_view text, std::size_t count) {
    std::string out;
    for (char c : text) {
      if (out.size() == count) break;
      if (c == ' ' || c == '.') continue;
      out += static_cast<char>(UpperCp1250(static_cast<unsigned char>(c)));
    }
    return out;
  };
  std::string shortName = keep(base, 6) + "~1";
  std::string shortExt = keep(ext, 3);
  if (!shortExt.empty()) shortName += "." + shortExt;
  return shortName;
}

bool MatchesPattern(std::string_view name, std::string_view pattern) {
  if (pattern == "*.*" || pattern == "*") return true;
  if (MatchWild(name, pattern)) return true;
  // "name.*" also matches a name without an extension.
  if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
      name.find('.') == std::string_view::npos && MatchWild(name, pattern.substr(0, pattern.size() - 2))) {
    return true;
  }
  return !IsShortName(name) && MatchWild(ShortNameOf(name), pattern);
}

}  // namespace qz::platform::sim
