#include "platform/sim/SimPaths.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cctype>
#include <vector>

#include "common/CodePage.h"

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
  unsigned mode = 0;
};

HostEntry Stat(const std::string& hostPath) {
  struct stat st;
  if (stat(hostPath.c_str(), &st) != 0) return {};
  return {true, S_ISDIR(st.st_mode), static_cast<unsigned>(st.st_mode)};
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

SimPaths::SimPaths(std::filesystem::path machineRoot, std::filesystem::path workingDir)
    : root_(std::move(machineRoot)), workingDir_(std::move(workingDir)) {}

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
  std::string prefix = root_.string() + "/drive_";
  if (hostPath.compare(0, prefix.size(), prefix) != 0 || hostPath.size() <= prefix.size()) return 0;
  return hostPath[prefix.size()];
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
  std::vector<std::string> baseParts;  // host components below "/"
  std::string_view rest = path;
  std::string base;
  std::size_t fixedDepth = 0;  // components that ".." cannot remove
  if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
    base = DriveRoot(path[0]).string();
    rest.remove_prefix(2);
  } else if (!path.empty() && IsSeparator(path[0])) {
    if (path.size() >= 2 && IsSeparator(path[1])) {
      out.error = kErrorPathNotFound;  // network paths do not exist here
      return out;
    }
    base = DriveRoot('c').string();
  } else {
    base = workingDir_.string();
    // A relative path may climb above the working directory, as on Windows.
    std::filesystem::path wd = workingDir_;
    for (const auto& part : wd.relative_path()) baseParts.push_back(part.string());
    base = "";
  }
  if (!base.empty()) {
    std::filesystem::path b = base;
    for (const auto& part : b.relative_path()) baseParts.push_back(part.string());
    fixedDepth = baseParts.size();
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
    std::string part(rest.substr(start, i - start));
    if (part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      else if (baseParts.size() > fixedDepth + climbed) ++climbed;
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
  baseParts.resize(baseParts.size() - climbed);

  // The common case first: the path exists as written, or everything but
  // its last component does. One or two lookups then answer what the walk
  // below answers with one per component.
  if (!parts.empty() && !(allowWildcards && parts.back().find_first_of("*?") != std::string::npos)) {
    std::string parent;
    for (const auto& h : baseParts) parent += "/" + h;
    for (std::size_t k = 0; k + 1 < parts.size(); ++k) parent += "/" + Utf8FromCp1250(parts[k]);
    std::string parentDir = parent.empty() ? "/" : parent;
    std::string chosen = parent + "/" + Utf8FromCp1250(parts.back());
    HostEntry entry = Stat(chosen);
    bool resolved = entry.exists;
    if (!resolved) {
      HostEntry dir = Stat(parentDir);
      if (dir.exists && dir.isDirectory) {
        resolved = true;
        std::string other;
        if (FindNoCase(parentDir, parts.back(), other)) {
          chosen = parent + "/" + other;
          entry = Stat(chosen);
        }
      }
    }
    if (resolved) {
      out.host = chosen;
      out.name = parts.back();
      out.parentExists = true;
      out.exists = entry.exists;
      out.isDirectory = entry.isDirectory;
      out.mode = entry.mode;
      return out;
    }
  }

  // Walk the components, looking each up without regard to case.
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
      out.mode = out.exists ? entry.mode : 0;
    } else {
      missing = !entry.exists;
      if (entry.exists && !entry.isDirectory) {
        // A file in the middle of a path.
        out.error = kErrorPathNotFound;
        return out;
      }
    }
  }

  std::string joined;
  for (const auto& h : host) joined += "/" + h;
  if (joined.empty()) joined = "/";
  out.host = joined;
  out.name = lastName;
  if (lastName.empty()) {
    // The path names its base itself: a drive root or the working directory.
    HostEntry entry = Stat(joined);
    out.exists = entry.exists;
    out.isDirectory = entry.isDirectory;
    out.mode = entry.mode;
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

}  // namespace

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
