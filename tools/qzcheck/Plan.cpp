#include "tools/qzcheck/Plan.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <system_error>

#include "btrieve/ConversionPlan.h"
#include "platform/sim/SimMachine.h"
#include "setup/SimulatedSetup.h"
#include "text/CodePage.h"

namespace qz::check {
namespace {

namespace fs = std::filesystem;
using platform::HResult;

// A folder of the run's own, removed with everything in it.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "qzcheck-plan-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a folder for the throw-away machine");
    path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    // Read-only files (the machine keeps the attribute in the write bits)
    // need their write bit back before the folder can go.
    for (auto it = fs::recursive_directory_iterator(path_, ignored); it != fs::recursive_directory_iterator();
         it.increment(ignored)) {
      if (!it->is_symlink(ignored)) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// The shortcuts the run saves, as it set them.
class RecordingLink : public platform::ShellLink {
 public:
  RecordingLink(std::unique_ptr<platform::ShellLink> inner, std::vector<ShortcutMade>& made)
      : inner_(std::move(inner)), made_(made) {}
  HResult SetPath(const char* path) override { return Keep(inner_->SetPath(path), shortcut_.target, path); }
  HResult SetArguments(const char* arguments) override {
    return Keep(inner_->SetArguments(arguments), shortcut_.arguments, arguments);
  }
  HResult SetWorkingDirectory(const char* directory) override {
    return Keep(inner_->SetWorkingDirectory(directory), shortcut_.workingDirectory, directory);
  }
  HResult SetDescription(const char* description) override {
    return Keep(inner_->SetDescription(description), shortcut_.description, description);
  }
  HResult Save(const char* linkPath) override {
    HResult result = inner_->Save(linkPath);
    if (platform::Succeeded(result)) {
      shortcut_.link = linkPath;
      made_.push_back(shortcut_);
    }
    return result;
  }
  platform::ShellLink& inner() { return *inner_; }

 private:
  static HResult Keep(HResult result, std::string& field, const char* text) {
    if (platform::Succeeded(result)) field = text;
    return result;
  }
  std::unique_ptr<platform::ShellLink> inner_;
  std::vector<ShortcutMade>& made_;
  ShortcutMade shortcut_;
};

class RecordingShell : public platform::Shell {
 public:
  RecordingShell(platform::Shell& inner, std::vector<ShortcutMade>& made) : inner_(inner), made_(made) {}
  HResult Initialize() override { return inner_.Initialize(); }
  void Uninitialize() override { inner_.Uninitialize(); }
  std::unique_ptr<platform::ShellLink> CreateLink(HResult& result) override {
    auto link = inner_.CreateLink(result);
    if (!link) return nullptr;
    return std::make_unique<RecordingLink>(std::move(link), made_);
  }
  HResult QueryPersistFile(platform::ShellLink& link) override {
    return inner_.QueryPersistFile(static_cast<RecordingLink&>(link).inner());
  }

 private:
  platform::Shell& inner_;
  std::vector<ShortcutMade>& made_;
};

// What is on the machine's drives: Windows path -> a directory, or a file
// with the time it last changed.
struct TreeEntry {
  bool directory;
  std::int64_t changed;  // st_ctim in nanoseconds: any write, copy or attribute change moves it
};
using TreeSnapshot = std::map<std::string, TreeEntry>;

// A host name as the programs see it (Windows-1250), kept as it is when it
// is no Windows-1250 text.
std::string WindowsName(const std::string& host) {
  std::string name;
  return Cp1250FromUtf8(host, name) ? name : host;
}

TreeSnapshot SnapshotTree(const fs::path& machine) {
  TreeSnapshot tree;
  std::error_code error;
  for (const fs::directory_entry& drive : fs::directory_iterator(machine, error)) {
    std::string driveName = drive.path().filename().string();
    if (driveName.size() != 7 || driveName.compare(0, 6, "drive_") != 0 || !drive.is_directory()) continue;
    std::string prefix(1, static_cast<char>(std::toupper(static_cast<unsigned char>(driveName[6]))));
    prefix += ":";
    for (auto it = fs::recursive_directory_iterator(drive.path(), error); it != fs::recursive_directory_iterator();
         it.increment(error)) {
      struct stat info {};
      if (lstat(it->path().c_str(), &info) != 0) continue;
      std::string path = prefix;
      for (const fs::path& part : fs::relative(it->path(), drive.path())) path += "\\" + WindowsName(part.string());
      tree[path] = {S_ISDIR(info.st_mode),
                    static_cast<std::int64_t>(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec};
    }
  }
  return tree;
}

// The registry as the machine exports it: key -> its values by name.
struct KeySnapshot {
  std::string path;
  std::map<std::string, platform::sim::SimRegistry::ExportedValue> values;  // by upper-cased name
};
using RegistrySnapshot = std::map<std::string, KeySnapshot>;

std::string UpperText(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(UpperCp1250(static_cast<unsigned char>(c)));
  return upper;
}

RegistrySnapshot SnapshotRegistry(const platform::sim::SimRegistry& machineRegistry) {
  RegistrySnapshot registry;
  machineRegistry.ForEachKey([&registry](const std::string& path, const auto& values) {
    KeySnapshot& key = registry[UpperText(path)];
    key.path = path;
    for (const auto& value : values) key.values[UpperText(value.name)] = value;
  });
  return registry;
}

void CompareTrees(const TreeSnapshot& before, const TreeSnapshot& after, Plan& plan) {
  for (const auto& [path, entry] : after) {
    auto old = before.find(path);
    if (old == before.end()) {
      plan.files.push_back({'+', path, entry.directory});
    } else if (!entry.directory && (old->second.directory || old->second.changed != entry.changed)) {
      plan.files.push_back({'~', path, false});
    }
  }
  for (const auto& [path, entry] : before) {
    if (after.count(path) == 0) plan.files.push_back({'-', path, entry.directory});
  }
}

void CompareRegistries(const RegistrySnapshot& before, const RegistrySnapshot& after, Plan& plan) {
  for (const auto& [id, key] : after) {
    auto old = before.find(id);
    if (old == before.end()) plan.registry.push_back({'+', key.path, ""});
    for (const auto& [name, value] : key.values) {
      const platform::sim::SimRegistry::ExportedValue* was = nullptr;
      if (old != before.end()) {
        auto found = old->second.values.find(name);
        if (found != old->second.values.end()) was = &found->second;
      }
      if (!was) {
        plan.registry.push_back({'+', key.path, value.line});
      } else if (was->line != value.line) {
        plan.registry.push_back({'~', key.path, value.line});
        if (was->dword && value.dword && *value.dword > *was->dword) {
          plan.raised.push_back({key.path, value.name, *was->dword, *value.dword});
        }
      }
    }
  }
  for (const auto& [id, key] : before) {
    auto now = after.find(id);
    if (now == after.end()) {
      plan.registry.push_back({'-', key.path, ""});
      continue;
    }
    for (const auto& [name, value] : key.values) {
      if (now->second.values.count(name) == 0) plan.registry.push_back({'-', key.path, value.line});
    }
  }
}

// Every version section of DBCHANGE.QRT, in file order, once each.
class VersionList : public ConversionScriptObserver {
 public:
  void VersionSection(int line, std::string_view version, bool) override {
    for (const VersionPlan& known : versions) {
      if (known.version == version) return;
    }
    versions.push_back({std::string(version), line, {}});
  }
  std::vector<VersionPlan> versions;
};

void PlanConversion(platform::FileSystem& files, Plan& plan) {
  VersionList list;
  ConversionPlan all;
  if (!all.Load(files, "", &list)) return;
  for (VersionPlan& version : list.versions) {
    ConversionPlan one;
    one.Load(files, version.version);
    for (const auto& [name, table] : one.tables()) {
      if (table->changeCount <= 0) continue;
      version.tables.push_back({name, std::vector<TableChange>(table->changes, table->changes + table->changeCount)});
    }
    plan.conversion.push_back(std::move(version));
  }
}

const char* KindOfRun(std::int32_t type) {
  switch (type) {
    case kInstallInstall: return "a first installation (INSTALL)";
    case kInstallPatch: return "a patch (PATCH)";
    case kInstallUpdate: return "an update (UPDATE)";
    default: return "no installation (no valid install type)";
  }
}

const char* OutcomeText(RunOutcome outcome) {
  switch (outcome) {
    case RunOutcome::Finished: return "The installation would finish";
    case RunOutcome::Failed: return "The installation would fail";
    case RunOutcome::Stopped: return "The setup would stop before any page";
    case RunOutcome::Left: return "The setup would be left";
    case RunOutcome::Running: break;
  }
  return "The setup would not end";
}

std::string DescribeChange(const TableChange& change) {
  char text[64];
  if (!change.recordText.empty()) return "insert the record \"" + std::string(change.recordText.view()) + "\"";
  if (change.position == kAppendPosition) {
    std::snprintf(text, sizeof text, "append a field of %u bytes", static_cast<unsigned>(change.length));
  } else {
    std::snprintf(text, sizeof text, "insert a field of %u bytes at %u", static_cast<unsigned>(change.length),
                  static_cast<unsigned>(change.position));
  }
  return text;
}

// Links are copied as links. One that leads out of the copy would let the
// run write where it leads: such a machine is not run.
void RefuseLinksOutOf(const fs::path& copy) {
  fs::path root = copy.lexically_normal();
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(copy, error); it != fs::recursive_directory_iterator();
       it.increment(error)) {
    if (!it->is_symlink(error)) continue;
    fs::path target = fs::read_symlink(it->path(), error);
    fs::path reached = (it->path().parent_path() / target).lexically_normal();
    auto [end, ignored] = std::mismatch(root.begin(), root.end(), reached.begin(), reached.end());
    if (target.is_absolute() || end != root.end()) {
      throw std::runtime_error("the machine holds a link that leads out of it (" +
                               fs::relative(it->path(), copy).string() + " -> " + target.string() +
                               "): a dry run could change what it leads to");
    }
  }
}

}  // namespace

Plan MakePlan(const PlanOptions& options) {
  if (!fs::is_directory(options.medium)) throw std::runtime_error("no medium at " + options.medium.string());
  ScratchFolder scratch;
  fs::path machineDir = scratch.path() / "machine";
  Plan plan;
  if (options.machine) {
    if (!fs::is_directory(*options.machine)) throw std::runtime_error("no machine at " + options.machine->string());
    std::error_code error;
    fs::copy(*options.machine, machineDir, fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
    if (error) throw std::runtime_error("cannot copy the machine " + options.machine->string() + ": " + error.message());
    fs::remove(machineDir / "registry.reg.lock", error);
    RefuseLinksOutOf(machineDir);
    plan.machine = options.machine->string();
  }

  platform::sim::SimMachine machine(machineDir, fs::absolute(options.medium));
  TreeSnapshot treeBefore = SnapshotTree(machine.root());
  RegistrySnapshot registryBefore = SnapshotRegistry(machine.registry());

  UnattendedOptions operatorOptions;
  if (options.dir) {
    operatorOptions.hasDir = true;
    operatorOptions.dir = *options.dir;
  }
  RecordingShell shell(machine.shell(), plan.shortcuts);
  UnattendedRun run = RunUnattended(machine, operatorOptions, &shell);
  plan.outcome = run.outcome;
  plan.settings = run.settings;

  const std::vector<std::string>& transcript = machine.ui().Transcript();
  for (std::size_t i = 0; i < transcript.size(); ++i) {
    if (transcript[i].compare(0, 5, "List ") == 0) {
      std::size_t colon = transcript[i].find(": ");
      plan.lastListLine = colon == std::string::npos ? transcript[i] : transcript[i].substr(colon + 2);
    }
    if (transcript[i].compare(0, 12, "Message box ") != 0) continue;
    std::string box = transcript[i];
    while (i + 1 < transcript.size() && transcript[i + 1].compare(0, 4, "    ") == 0) box += "\n" + transcript[++i];
    plan.messages.push_back(box);
  }

  CompareTrees(treeBefore, SnapshotTree(machine.root()), plan);
  CompareRegistries(registryBefore, SnapshotRegistry(machine.registry()), plan);

  if (plan.settings.installType == kInstallUpdate && plan.outcome != RunOutcome::Stopped) {
    plan.backupDir = std::string(plan.settings.vormexDir.view()) + "\\MENTES.TMP";
    std::string below = UpperText(plan.backupDir + "\\");
    for (const PathChange& change : plan.files) {
      if (change.kind == '+' && UpperText(change.path).compare(0, below.size(), below) == 0) ++plan.backupEntries;
    }
    PlanConversion(machine.files(), plan);
  }
  return plan;
}

int PlanExitStatus(const Plan& plan) { return plan.outcome == RunOutcome::Finished ? 0 : 1; }

std::string FormatPlan(const Plan& plan, const std::string& mediumShown) {
  const SetupSettings& s = plan.settings;
  std::string out;
  out += "Dry run of " + mediumShown + " on " +
         (plan.machine.empty() ? std::string("a new empty machine") : "a copy of the machine " + plan.machine) +
         "\n";
  out += Utf8FromCp1250(std::string(s.appName.view()) + " " + std::string(s.appVersion.view())) + ": " +
         KindOfRun(s.installType);
  if (s.installType != kInstallNone) out += " into " + Utf8FromCp1250(s.homeDir.view());
  if ((s.installType == kInstallPatch || s.installType == kInstallUpdate) && !s.oldVersion.empty()) {
    out += ", installed version " + Utf8FromCp1250(s.oldVersion.view());
  }
  out += "\n";
  out += OutcomeText(plan.outcome);
  if (!plan.lastListLine.empty()) out += ": " + Utf8FromCp1250(plan.lastListLine);
  out += "\n";
  if (!plan.messages.empty()) {
    out += "\nMessages shown:\n";
    for (const std::string& box : plan.messages) {
      std::string text = Utf8FromCp1250(box);
      std::size_t at = 0;
      while ((at = text.find('\n', at)) != std::string::npos) text.insert(++at, "  ");
      out += "  " + text + "\n";
    }
  }

  out += "\nFiles and folders (+ created, ~ replaced or written to, - deleted):\n";
  if (plan.files.empty()) out += "  none\n";
  for (const PathChange& change : plan.files) {
    out += "  ";
    out += change.kind;
    out += " " + Utf8FromCp1250(change.path) + (change.directory ? "\\" : "") + "\n";
  }

  out += "\nShortcuts (link -> target | arguments | working directory | description):\n";
  if (plan.shortcuts.empty()) out += "  none\n";
  for (const ShortcutMade& link : plan.shortcuts) {
    out += "  " + Utf8FromCp1250(link.link + " -> " + link.target + " | " + link.arguments + " | " +
                                 link.workingDirectory + " | " + link.description) +
           "\n";
  }

  out += "\nRegistry (+ created, ~ changed, - deleted):\n";
  if (plan.registry.empty()) out += "  none\n";
  for (const RegistryChange& change : plan.registry) {
    out += "  ";
    out += change.kind;
    out += " " + Utf8FromCp1250(change.key);
    if (!change.value.empty()) out += "  " + Utf8FromCp1250(change.value);
    out += "\n";
  }

  out += "\nBtrieve settings raised:\n";
  if (plan.raised.empty()) out += "  none\n";
  for (const RaisedSetting& raised : plan.raised) {
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, ": %u -> %u\n", static_cast<unsigned>(raised.before),
                  static_cast<unsigned>(raised.after));
    out += "  " + Utf8FromCp1250(raised.key) + "  \"" + Utf8FromCp1250(raised.name) + "\"" + numbers;
  }

  if (!plan.backupDir.empty()) {
    out += "\nBackup: " + Utf8FromCp1250(s.homeDir.view()) + " copied into " + Utf8FromCp1250(plan.backupDir) +
           " (" + std::to_string(plan.backupEntries) + " files and folders)\n";
    out += "\nConversion plan (DBCHANGE.QRT), by installed version:\n";
    if (plan.conversion.empty()) out += "  none\n";
    for (const VersionPlan& version : plan.conversion) {
      out += "  " + Utf8FromCp1250(version.version) + " (line " + std::to_string(version.line) + ")";
      if (version.version == s.oldVersion.view()) out += ", the installed version: the one this run converts";
      out += ":\n";
      if (version.tables.empty()) out += "    no change to a table DBSTAT.QRT describes\n";
      for (const auto& [table, changes] : version.tables) {
        out += "    " + Utf8FromCp1250(table) + ":";
        const char* separator = " ";
        for (const TableChange& change : changes) {
          out += separator + Utf8FromCp1250(DescribeChange(change));
          separator = "; ";
        }
        out += "\n";
      }
    }
  }
  return out;
}

}  // namespace qz::check
