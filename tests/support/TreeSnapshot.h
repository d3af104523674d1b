#pragma once
// What a host folder holds, entry by entry, without following links: for
// tests that prove what a run did not touch.

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace qz::test {

// Relative path (with "/") to what stands there: "dir", "link -> target",
// or "file " and the bytes.
using TreeSnapshot = std::map<std::string, std::string>;

inline TreeSnapshot SnapshotOf(const std::filesystem::path& root) {
  TreeSnapshot tree;
  std::error_code error;
  for (auto it = std::filesystem::recursive_directory_iterator(root, error);
       !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
    // Lexically: relative() would follow the links it meets.
    std::string name = it->path().lexically_relative(root).generic_string();
    if (it->is_symlink()) {
      tree[name] = "link -> " + std::filesystem::read_symlink(it->path()).string();
    } else if (it->is_directory()) {
      tree[name] = "dir";
    } else {
      std::ifstream in(it->path(), std::ios::binary);
      std::stringstream bytes;
      bytes << in.rdbuf();
      tree[name] = "file " + bytes.str();
    }
  }
  return tree;
}

// The paths added, removed or changed between two snapshots.
inline std::vector<std::string> ChangedPaths(const TreeSnapshot& before, const TreeSnapshot& after) {
  std::vector<std::string> changed;
  for (const auto& [path, what] : before) {
    auto found = after.find(path);
    if (found == after.end() || found->second != what) changed.push_back(path);
  }
  for (const auto& [path, what] : after) {
    if (!before.count(path)) changed.push_back(path);
  }
  return changed;
}

// True when `path` is `area` or lies below it (paths with "/", compared
// without regard to ASCII case, as the machine's names match).
inline bool IsWithin(const std::string& path, const std::string& area) {
  if (area.empty() || path.size() < area.size()) return false;
  for (std::size_t i = 0; i < area.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(path[i])) != std::tolower(static_cast<unsigned char>(area[i]))) {
      return false;
    }
  }
  return path.size() == area.size() || path[area.size()] == '/';
}

}  // namespace qz::test
