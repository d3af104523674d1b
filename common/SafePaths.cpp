#include "common/SafePaths.h"

#include <cstddef>
#include <string>
#include <vector>

#include "text/CodePage.h"

namespace qz {
namespace {

struct NormalPath {
  std::string root;                // "C:", "\\server\share", "\" or "" (relative)
  std::vector<std::string> parts;  // components below the root
};

NormalPath Normalise(std::string_view path) {
  NormalPath out;
  std::string text(path);
  for (char& c : text) {
    if (c == '/') c = '\\';
  }
  std::size_t pos = 0;
  if (text.size() >= 2 && text[1] == ':') {
    out.root = text.substr(0, 2);
    pos = 2;
  } else if (text.size() >= 2 && text[0] == '\\' && text[1] == '\\') {
    // A network share: the server and share names form the root.
    std::size_t server = text.find('\\', 2);
    std::size_t share = server == std::string::npos ? std::string::npos : text.find('\\', server + 1);
    out.root = text.substr(0, share);
    pos = share == std::string::npos ? text.size() : share;
  } else if (!text.empty() && text[0] == '\\') {
    out.root.assign(1, '\\');
  }
  while (pos < text.size()) {
    while (pos < text.size() && text[pos] == '\\') ++pos;
    std::size_t end = text.find('\\', pos);
    if (end == std::string::npos) end = text.size();
    std::string part = text.substr(pos, end - pos);
    pos = end;
    while (!part.empty() && (part.back() == ' ' || (part.back() == '.' && part != "." && part != ".."))) part.pop_back();
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!out.parts.empty() && out.parts.back() != "..") out.parts.pop_back();
      else if (out.root.empty()) out.parts.push_back(part);
      continue;
    }
    out.parts.push_back(part);
  }
  return out;
}

// True when `upper` is `lower` or a directory above it.
bool IsSameOrAbove(const NormalPath& upper, const NormalPath& lower) {
  if (!EqualsNoCase(upper.root, lower.root) || upper.parts.size() > lower.parts.size()) return false;
  for (std::size_t i = 0; i < upper.parts.size(); ++i) {
    if (!EqualsNoCase(upper.parts[i], lower.parts[i])) return false;
  }
  return true;
}

constexpr std::size_t kMaxPath = 259;

bool IsDotsAndBlanks(std::string_view name) { return name.find_first_not_of(". ") == std::string_view::npos; }

bool IsReservedDeviceName(std::string_view name) {
  // The device is named by the part before the first dot, blanks after it
  // aside: "NUL", "nul.txt" and "COM1 .log" all open a device.
  std::string_view base = name.substr(0, name.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
    if (EqualsNoCase(base, device)) return true;
  }
  if (base.size() == 4 && base[3] >= '1' && base[3] <= '9') {
    std::string_view stem = base.substr(0, 3);
    return EqualsNoCase(stem, "COM") || EqualsNoCase(stem, "LPT");
  }
  return false;
}

// One name between separators.
PathFault CheckOneName(std::string_view name) {
  if (name.empty()) return PathFault::kEmptyName;
  if (IsDotsAndBlanks(name)) return PathFault::kDotName;
  for (char c : name) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || std::string_view("<>:\"|?*\\").find(c) != std::string_view::npos) {
      return PathFault::kInvalidCharacter;
    }
  }
  if (name.back() == '.' || name.back() == ' ') return PathFault::kTrailingDotOrBlank;
  if (IsReservedDeviceName(name)) return PathFault::kReservedName;
  return PathFault::kNone;
}

PathFault CheckNames(std::string_view names) {
  for (;;) {
    std::size_t cut = names.find('\\');
    PathFault fault = CheckOneName(names.substr(0, cut));
    if (fault != PathFault::kNone || cut == std::string_view::npos) return fault;
    names.remove_prefix(cut + 1);
  }
}

// What every path from outside is checked for before its form.
PathFault CheckCommon(std::string_view path) {
  if (path.empty()) return PathFault::kEmpty;
  if (path.size() > kMaxPath) return PathFault::kTooLong;
  if (path.size() >= 2 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/')) {
    return PathFault::kDeviceOrNetwork;
  }
  if (path.find('/') != std::string_view::npos) return PathFault::kForwardSlash;
  return PathFault::kNone;
}

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

PathFault CheckDirectoryPath(std::string_view path) {
  if (PathFault fault = CheckCommon(path); fault != PathFault::kNone) return fault;
  if (path.size() < 3 || !IsDriveLetter(path[0]) || path[1] != ':' || path[2] != '\\') {
    return PathFault::kNotFullyQualified;
  }
  if (path.size() == 3) return PathFault::kDriveRoot;
  return CheckNames(path.substr(3));
}

PathFault CheckFolderPath(std::string_view path) {
  if (path.size() < 2 || path[0] != '\\' || path[1] != '\\') return CheckDirectoryPath(path);
  if (path.size() > kMaxPath) return PathFault::kTooLong;
  if (path.find('/') != std::string_view::npos) return PathFault::kForwardSlash;
  // The server and the share are plain names ("\\?\" and "\\.\" are
  // device forms, not servers); below them, names as on a drive.
  std::string_view names = path.substr(2);
  std::size_t serverEnd = names.find('\\');
  if (serverEnd == std::string_view::npos || CheckOneName(names.substr(0, serverEnd)) != PathFault::kNone) {
    return PathFault::kDeviceOrNetwork;
  }
  std::string_view afterServer = names.substr(serverEnd + 1);
  std::size_t shareEnd = afterServer.find('\\');
  if (CheckOneName(afterServer.substr(0, shareEnd)) != PathFault::kNone) return PathFault::kDeviceOrNetwork;
  if (shareEnd == std::string_view::npos || shareEnd + 1 == afterServer.size()) return PathFault::kDriveRoot;
  return CheckNames(afterServer.substr(shareEnd + 1));
}

PathFault CheckItemPath(std::string_view path) {
  if (PathFault fault = CheckCommon(path); fault != PathFault::kNone) return fault;
  if (path[0] == '\\' || (path.size() >= 2 && path[1] == ':')) return PathFault::kNotRelative;
  return CheckNames(path);
}

PathFault CheckName(std::string_view name) {
  if (PathFault fault = CheckCommon(name); fault != PathFault::kNone) return fault;
  return CheckOneName(name);
}

PathFault CheckShortcutTitle(std::string_view title) {
  if (PathFault fault = CheckCommon(title); fault != PathFault::kNone) return fault;
  if (IsDotsAndBlanks(title)) return PathFault::kDotName;
  std::string linkName(title);
  linkName += ".lnk";
  return CheckOneName(linkName);
}

bool LeadsOutOfRoot(PathFault fault) {
  switch (fault) {
    case PathFault::kNotRelative:
    case PathFault::kDeviceOrNetwork:
    case PathFault::kForwardSlash:
    case PathFault::kDotName:
      return true;
    default:
      return false;
  }
}

bool IsValidAppName(std::string_view name) { return name.size() <= 255 && CheckName(name) == PathFault::kNone; }

namespace {

// Each fault in the log's words (Hungarian, as the setup program and the
// uninstaller write it) and in the medium checker's (English), by the
// fault's value.
struct FaultWords {
  PathFault fault;
  const char* log;
  const char* report;
};

constexpr FaultWords kFaultWords[] = {
    {PathFault::kNone, "", ""},
    {PathFault::kEmpty, "üres", "it is empty"},
    {PathFault::kTooLong, "hosszabb 259 karakternél", "it is longer than 259 characters"},
    {PathFault::kNotFullyQualified, "nem teljes elérési út", "it is not a full path"},
    {PathFault::kNotRelative, "meghajtót vagy gyökérkönyvtárat nevez meg", "it names a drive or starts at a root"},
    {PathFault::kDeviceOrNetwork, "eszköz- vagy hálózati elérési út", "it is a device or network path"},
    {PathFault::kForwardSlash, "\"/\" jelet tartalmaz", "it holds \"/\""},
    {PathFault::kDriveRoot, "meghajtó gyökérkönyvtára", "it is a drive's root"},
    {PathFault::kEmptyName, "üres névtagot tartalmaz", "it holds an empty name"},
    {PathFault::kDotName, "\".\", \"..\" vagy csak pontokból és szóközökből álló névtagot tartalmaz",
     "it holds \".\", \"..\" or a name of dots and blanks"},
    {PathFault::kTrailingDotOrBlank, "pontra vagy szóközre végződő névtagot tartalmaz",
     "a name in it ends in a dot or blank"},
    {PathFault::kInvalidCharacter, "érvénytelen karaktert tartalmaz", "it holds a character names may not hold"},
    {PathFault::kReservedName, "eszköznevet tartalmaz", "it holds a device name"},
};

constexpr bool EveryFaultInItsRow() {
  std::size_t row = 0;
  for (const FaultWords& words : kFaultWords) {
    if (static_cast<std::size_t>(words.fault) != row++) return false;
  }
  return row == static_cast<std::size_t>(PathFault::kReservedName) + 1;
}
static_assert(EveryFaultInItsRow(), "kFaultWords holds every fault, in the order of its values");

const FaultWords& WordsOf(PathFault fault) { return kFaultWords[static_cast<std::size_t>(fault)]; }

}  // namespace

const char* PathFaultText(PathFault fault) { return WordsOf(fault).log; }

const char* PathFaultReason(PathFault fault) { return WordsOf(fault).report; }

bool IsSameOrAbove(std::string_view upper, std::string_view lower) {
  if (upper.size() > lower.size() || !EqualsNoCase(upper, lower.substr(0, upper.size()))) return false;
  return upper.size() == lower.size() || lower[upper.size()] == '\\' || (!upper.empty() && upper.back() == '\\');
}

bool IsProtectedDirectory(std::string_view directory, std::initializer_list<std::string_view> protectedDirs) {
  NormalPath dir = Normalise(directory);
  if (dir.root.empty() && dir.parts.empty()) return true;
  if (!dir.root.empty() && dir.parts.empty()) return true;
  for (std::string_view other : protectedDirs) {
    if (other.empty()) continue;
    if (IsSameOrAbove(dir, Normalise(other))) return true;
  }
  return false;
}

}  // namespace qz
