#include "common/SafePaths.h"

#include <string>
#include <vector>

#include "common/CodePage.h"

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

}  // namespace

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
