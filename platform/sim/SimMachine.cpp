#include "platform/sim/SimMachine.h"

#include <pwd.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <ctime>
#include <map>
#include <mutex>
#include <utility>

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
  std::filesystem::create_directories(profile / "Documents");
  // The folders every Wine prefix has, which no application may take.
  for (const char* folder : {"Program Files/Common Files", "Program Files (x86)/Common Files", "ProgramData",
                             "users/Public/Desktop", "users/Public/Documents"}) {
    std::filesystem::create_directories(drive / folder);
  }

  // The user's shell folders, as Wine registers them.
  const char* shellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  KeyHandle key;
  if (registry_->OpenKey(RootKey::CurrentUser, shellFolders, KeyAccess::Read, key) == kOk) {
    registry_->CloseKey(key);
    return;
  }
  if (registry_->CreateKey(RootKey::CurrentUser, shellFolders, key) != kOk) return;
  // Below the user's profile unless they start with a drive.
  static constexpr std::pair<const char*, const char*> kFolders[] = {
      {"AppData", "AppData\\Roaming"},
      {"Cache", "AppData\\Local\\Microsoft\\Windows\\INetCache"},
      {"Cookies", "AppData\\Local\\Microsoft\\Windows\\INetCookies"},
      {"Desktop", "Desktop"},
      {"Favorites", "Favorites"},
      {"Fonts", "C:\\windows\\Fonts"},
      {"History", "AppData\\Local\\Microsoft\\Windows\\History"},
      {"Local AppData", "AppData\\Local"},
      {"My Music", "Music"},
      {"My Pictures", "Pictures"},
      {"My Videos", "Videos"},
      {"NetHood", "AppData\\Roaming\\Microsoft\\Windows\\Network Shortcuts"},
      {"Personal", "Documents"},
      {"PrintHood", "AppData\\Roaming\\Microsoft\\Windows\\Printer Shortcuts"},
      {"Programs", "AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"},
      {"Recent", "AppData\\Roaming\\Microsoft\\Windows\\Recent"},
      {"SendTo", "AppData\\Roaming\\Microsoft\\Windows\\SendTo"},
      {"Start Menu", "AppData\\Roaming\\Microsoft\\Windows\\Start Menu"},
      {"StartUp", "AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp"},
      {"Templates", "AppData\\Roaming\\Microsoft\\Windows\\Templates"},
  };
  std::string base = "C:\\users\\" + user;
  for (const auto& [name, place] : kFolders) {
    std::string path = place[1] == ':' ? std::string(place) : base + "\\" + place;
    registry_->SetValue(key, name, ValueType::String, path.c_str(), static_cast<std::uint32_t>(path.size() + 1));
  }
  registry_->CloseKey(key);
}

std::filesystem::path SimMachine::HostPath(const char* windowsPath) const {
  return paths_.Resolve(windowsPath).host;
}

void SimMachine::AddShare(std::string_view server, std::string_view share) {
  std::filesystem::create_directories(paths_.ShareRoot(server, share));
}

void SimMachine::MapNetworkDrive(char letter, std::string_view server, std::string_view share) {
  AddShare(server, share);
  char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
  std::filesystem::path drive = root_ / (std::string("drive_") + lower);
  std::filesystem::remove_all(drive);
  std::filesystem::create_directory_symlink(paths_.ShareRoot(server, share).lexically_relative(root_), drive);
}

}  // namespace qz::platform::sim
