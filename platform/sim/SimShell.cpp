#include "platform/sim/SimShell.h"

#include <sys/stat.h>

#include <optional>
#include <string>

#include "platform/sim/LnkFile.h"
#include "platform/sim/SimFileSystem.h"

namespace qz::platform::sim {
namespace {

constexpr HResult kOkResult = 0;
constexpr HResult kFalseResult = 1;  // S_FALSE
constexpr HResult kNotInitialized = static_cast<HResult>(0x800401F0);  // CO_E_NOTINITIALIZED
constexpr HResult kNoInterface = static_cast<HResult>(0x80004002);
constexpr HResult kPointer = static_cast<HResult>(0x80004003);
constexpr HResult kInvalidArgument = static_cast<HResult>(0x80070057);
constexpr ErrorCode kErrorInsufficientBuffer = 122;

// Paths the shell link keeps (MAX_PATH) and its other texts (INFOTIPSIZE).
constexpr std::size_t kMaxPath = 260;
constexpr std::size_t kMaxText = 1024;

HResult FromWin32(ErrorCode code) {
  return code == kOk ? kOkResult : static_cast<HResult>(0x80070000u | (code & 0xFFFFu));
}

class SimShellLink : public ShellLink {
 public:
  SimShellLink(const SimPaths& paths, SimFileSystem& files) : paths_(paths), files_(files) {}

  void GrantPersist() { persist_ = true; }

  HResult SetPath(const char* path) override {
    std::string_view text = path;
    if (text.size() >= kMaxPath) return kInvalidArgument;
    contents_.target = text;
    ResolvedPath r = paths_.Resolve(text);
    return r.error == kOk && r.exists ? kOkResult : kFalseResult;
  }
  HResult SetArguments(const char* arguments) override { return Keep(contents_.arguments, arguments, kMaxText); }
  HResult SetWorkingDirectory(const char* directory) override {
    return Keep(contents_.workingDirectory, directory, kMaxPath);
  }
  HResult SetDescription(const char* description) override {
    return Keep(contents_.description, description, kMaxText);
  }

  HResult Save(const char* linkPath) override {
    if (!persist_) return kPointer;
    // The path is converted into 260 wide characters, terminator included;
    // a longer one is refused rather than saved under a shortened name.
    if (std::string_view(linkPath).size() >= kMaxPath) return FromWin32(kErrorInsufficientBuffer);
    contents_.items = PathItems(contents_.target);
    return FromWin32(files_.WriteWholeFile(linkPath, BuildShellLink(contents_)));
  }

 private:
  static HResult Keep(std::optional<std::string>& field, const char* text, std::size_t limit) {
    std::string_view value = text;
    if (value.size() >= limit) return kInvalidArgument;
    field = std::string(value);
    return kOkResult;
  }

  // What the machine holds at each component of the target's path, read at
  // the time of saving as the shell reads it.
  std::vector<LnkPathItem> PathItems(const std::string& target) const {
    std::vector<LnkPathItem> items;
    if (target.size() < 3 || target[1] != ':') return items;
    std::size_t pos = 3;
    while (pos < target.size()) {
      std::size_t end = target.find_first_of("\\/", pos);
      if (end == std::string::npos) end = target.size();
      if (end > pos) {
        LnkPathItem item;
        item.name = target.substr(pos, end - pos);
        ResolvedPath r = paths_.Resolve(std::string_view(target).substr(0, end));
        struct stat st;
        if (r.error == kOk && r.exists && stat(r.host.c_str(), &st) == 0) {
          item.exists = true;
          item.isDirectory = S_ISDIR(st.st_mode);
          item.size = static_cast<std::uint32_t>(st.st_size);
          item.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec);
        }
        items.push_back(std::move(item));
      }
      pos = end + 1;
    }
    return items;
  }

  const SimPaths& paths_;
  SimFileSystem& files_;
  bool persist_ = false;
  LnkContents contents_;
};

}  // namespace

HResult SimShell::Initialize() {
  ++initialized_;
  return initialized_ == 1 ? kOkResult : kFalseResult;
}

void SimShell::Uninitialize() {
  if (initialized_ > 0) --initialized_;
}

std::unique_ptr<ShellLink> SimShell::CreateLink(HResult& result) {
  if (initialized_ == 0) {
    result = kNotInitialized;
    return nullptr;
  }
  result = kOkResult;
  return std::make_unique<SimShellLink>(paths_, files_);
}

HResult SimShell::QueryPersistFile(ShellLink& link) {
  auto* own = dynamic_cast<SimShellLink*>(&link);
  if (!own) return kNoInterface;
  own->GrantPersist();
  return kOkResult;
}

}  // namespace qz::platform::sim
