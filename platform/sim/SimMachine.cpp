#include "platform/sim/SimMachine.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <map>
#include <mutex>

namespace qz::platform::sim {
namespace {

// One registry object per machine folder within a process: two machines on
// the same folder share it instead of waiting for each other's lock.
std::shared_ptr<SimRegistry> RegistryFor(const std::filesystem::path& file) {
  static std::mutex mutex;
  static std::map<std::string, std::weak_ptr<SimRegistry>> open;
  std::lock_guard<std::mutex> lock(mutex);
  std::string id = std::filesystem::weakly_canonical(file).string();
  if (auto existing = open[id].lock()) return existing;
  auto made = std::make_shared<SimRegistry>(file);
  open[id] = made;
  return made;
}

std::filesystem::path Prepare(const std::filesystem::path& root) {
  std::filesystem::create_directories(root);
  return std::filesystem::absolute(root);
}

}  // namespace

LocalTime SimClock::Now() {
  if (fixed_) return *fixed_;
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_wday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::string SimMachine::UserName() {
  if (const char* user = std::getenv("USER"); user && *user) return user;
  if (const passwd* pw = getpwuid(geteuid())) return pw->pw_name;
  return "user";
}

SimMachine::SimMachine(std::filesystem::path root, std::filesystem::path workingDir)
    : root_(Prepare(root)),
      paths_(root_, std::filesystem::absolute(workingDir)),
      files_(paths_),
      registry_(RegistryFor(root_ / "registry.reg")),
      ui_(files_),
      shell_(paths_, files_),
      platform_{files_, *registry_, clock_, ui_, shell_} {
  CreateLayout();
}

SimMachine::~SimMachine() = default;

void SimMachine::CreateLayout() {
  std::string user = UserName();
  std::filesystem::path drive = paths_.DriveRoot('c');
  std::filesystem::create_directories(drive / "windows" / "system32");
  std::filesystem::path profile = drive / "users" / user;
  std::filesystem::create_directories(profile / "AppData/Roaming/Microsoft/Windows/Start Menu/Programs");
  std::filesystem::create_directories(profile / "Desktop");

  // The user's shell folders, as Wine registers them.
  const char* shellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  KeyHandle key;
  if (registry_->OpenKey(RootKey::CurrentUser, shellFolders, KeyAccess::Read, key) == kOk) {
    registry_->CloseKey(key);
    return;
  }
  if (registry_->CreateKey(RootKey::CurrentUser, shellFolders, key) != kOk) return;
  std::string base = "C:\\users\\" + user;
  std::string programs = base + "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
  std::string desktop = base + "\\Desktop";
  registry_->SetValue(key, "Desktop", ValueType::String, desktop.c_str(), static_cast<std::uint32_t>(desktop.size() + 1));
  registry_->SetValue(key, "Programs", ValueType::String, programs.c_str(),
                      static_cast<std::uint32_t>(programs.size() + 1));
  registry_->CloseKey(key);
}

std::filesystem::path SimMachine::HostPath(const char* windowsPath) const {
  return paths_.Resolve(windowsPath).host;
}

}  // namespace qz::platform::sim
