#include "common/ProtectedFolders.h"

#include "common/LogFile.h"
#include "common/Registration.h"
#include "common/SafePaths.h"
#include "text/CodePage.h"

namespace qz {
namespace {

using registration::kShellFoldersBelowUser;

// Read, or read with a '?' in place of each character Windows-1250 lacks.
bool Read(platform::ErrorCode error) { return error == platform::kOk || error == platform::kErrorNoUnicodeTranslation; }

// Every value of the user's Shell Folders key. A folder whose path holds a
// character Windows-1250 lacks stays protected in its '?' form: no path
// the programs accept holds a '?', and a folder above it still compares.
std::vector<std::string> ShellFolders(platform::RegistryStore& registry) {
  std::vector<std::string> folders;
  platform::KeyHandle key = 0;
  if (registry.OpenKey(platform::RootKey::CurrentUser, kShellFoldersBelowUser, platform::KeyAccess::Read, key) != platform::kOk) {
    return folders;
  }
  NameText name;
  PathText value;
  for (std::uint32_t index = 0; Read(registry.EnumValue(key, index, name)); ++index) {
    platform::ValueType type{};
    std::uint32_t size = static_cast<std::uint32_t>(value.capacity());
    value.Clear();
    if (!Read(registry.QueryValue(key, name.c_str(), &type, value.data(), size)) ||
        type != platform::ValueType::String) {
      continue;
    }
    value[value.capacity() - 1] = '\0';
    folders.emplace_back(value.c_str());
  }
  registry.CloseKey(key);
  return folders;
}

// A drive's root ("X:\") or a share ("\\server\share"): nothing above it.
bool IsRootText(std::string_view path) {
  if (path.size() == 3 && path[1] == ':' && path[2] == '\\') return true;
  if (path.size() < 3 || path[0] != '\\' || path[1] != '\\') return false;
  std::size_t server = path.find('\\', 2);
  return server != std::string_view::npos && path.find('\\', server + 1) == std::string_view::npos;
}

// A final path in the form the rules compare: what lies on a share
// ("\\?\UNC\server\share\...", a mapped drive's files too) as
// "\\server\share\...", a drive's path as "X:\...".
std::string CompareForm(std::string_view finalPath) {
  if (finalPath.size() > 8 && EqualsNoCase(finalPath.substr(0, 8), "\\\\?\\UNC\\")) {
    return "\\\\" + std::string(finalPath.substr(8));
  }
  if (finalPath.size() >= 7 && finalPath.substr(0, 4) == "\\\\?\\" && finalPath[5] == ':' && finalPath[6] == '\\') {
    return std::string(finalPath.substr(4));
  }
  return std::string(finalPath);
}

}  // namespace

ProtectedFolders::ProtectedFolders(platform::FileSystem& files, platform::RegistryStore& registry) : files_(files) {
  Add(files.WindowsDir().view());
  Add(files.SystemDir().view());
  PathText maker;
  if (LogFile::LogDirectory(files, maker)) Add(maker.view());
  for (const std::string& folder : files.SystemFolders()) Add(folder);
  for (const std::string& folder : ShellFolders(registry)) Add(folder);
}

void ProtectedFolders::Add(std::string_view folder) {
  // Every folder stays protected in the form the system gives it, a share
  // or a form of its own included: a directory is compared with it as
  // written, and with its form on disk.
  if (folder.empty()) return;
  folders_.emplace_back(folder);
  PathText resolved;
  std::string text(folder);
  if (files_.FinalPath(text.c_str(), resolved) != platform::kOk) return;
  std::string onDisk = CompareForm(resolved.view());
  if (!EqualsNoCase(onDisk, folder)) folders_.push_back(std::move(onDisk));
}

bool ProtectedFolders::Protects(std::string_view directory, TextBuffer& reason) const {
  for (const std::string& folder : folders_) {
    if (!IsSameOrAbove(directory, folder)) continue;
    if (EqualsNoCase(directory, folder)) {
      reason.Format("a(z) %.*s védett mappa", static_cast<int>(directory.size()), directory.data());
    } else {
      reason.Format("a(z) %.*s a védett %s mappát tartalmazza", static_cast<int>(directory.size()), directory.data(),
                    folder.c_str());
    }
    return true;
  }
  return false;
}

platform::ErrorCode ProtectedFolders::ResolveOnDisk(std::string_view directory, std::string& resolved) const {
  std::string existing(directory);
  std::string below;
  for (;;) {
    PathText finalPath;
    platform::ErrorCode error = files_.FinalPath(existing.c_str(), finalPath);
    if (error == platform::kOk) {
      resolved = CompareForm(finalPath.view());
      if (!below.empty() && !resolved.empty() && resolved.back() == '\\') below.erase(0, 1);
      resolved += below;
      return platform::kOk;
    }
    bool missing = error == platform::kErrorFileNotFound || error == platform::kErrorPathNotFound ||
                   error == platform::kErrorBadNetPath;
    if (!missing) return error;
    if (IsRootText(existing)) {
      // No such drive or share: nothing there to reach.
      resolved = std::string(directory);
      return platform::kOk;
    }
    std::size_t cut = existing.rfind('\\');
    below.insert(0, existing.substr(cut));
    existing.resize(cut == 2 ? 3 : cut);
  }
}

bool ProtectedFolders::Allows(std::string_view directory, TextBuffer& reason, Form form) const {
  auto quoted = [&](std::string_view text) { return std::string("\"").append(text).append("\""); };
  PathFault textFault = form == Form::kDrive ? CheckDirectoryPath(directory) : CheckFolderPath(directory);
  if (PathFault fault = textFault; fault != PathFault::kNone) {
    reason.Format("a(z) %s %s", quoted(directory).c_str(), PathFaultText(fault));
    return false;
  }
  if (Protects(directory, reason)) return false;
  std::string resolved;
  if (platform::ErrorCode error = ResolveOnDisk(directory, resolved); error != platform::kOk) {
    reason.Format("nem állapítható meg, hová mutat a(z) %s (hibakód: %u)", quoted(directory).c_str(),
                  static_cast<unsigned>(error));
    return false;
  }
  if (EqualsNoCase(resolved, directory)) return true;
  LogText inner;
  if (PathFault fault = CheckFolderPath(resolved); fault != PathFault::kNone) {
    inner.Format("a(z) %s %s", quoted(resolved).c_str(), PathFaultText(fault));
  } else if (!Protects(resolved, inner)) {
    return true;
  }
  reason.Format("a(z) %s a lemezen ide mutat: %s", quoted(directory).c_str(), inner.c_str());
  return false;
}

bool IsLinkDirectlyIn(std::string_view link, std::string_view folder) {
  if (CheckFolderPath(link) != PathFault::kNone) return false;
  std::size_t cut = link.rfind('\\');
  std::string_view name = link.substr(cut + 1);
  return EqualsNoCase(link.substr(0, cut), folder) && name.size() > 4 &&
         EqualsNoCase(name.substr(name.size() - 4), ".lnk");
}

}  // namespace qz
