#include "tools/qzcheck/MediumCheck.h"

#include <algorithm>
#include <cassert>
#include <cstdarg>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "btrieve/BtrieveFile.h"
#include "btrieve/ConversionPlan.h"
#include "btrieve/DbStat.h"
#include "common/Registry.h"
#include "common/RegistryFile.h"
#include "common/SafePaths.h"
#include "engine/SectionPlan.h"
#include "engine/SetupMessages.h"
#include "engine/SetupScript.h"
#include "engine/SetupSettings.h"
#include "engine/Shortcuts.h"
#include "engine/StepSupport.h"
#include "text/CodePage.h"
#include "text/TextParse.h"

namespace qz::check {
namespace {

using platform::ErrorCode;

constexpr const char* kScript = "setup.ini";
// Texts the wizard pages show, read from the medium.
constexpr const char* kPageTexts[] = {"udvozles.txt", "licensz.txt"};
// The setup program's own files: they lie on the medium beside the script.
constexpr const char* kProgramFiles[] = {"setup.ini", "QZSetup.exe", "wbtrv32.dll"};
// Every label the setup program reads.
constexpr const char* kLabels[] = {"InstallType:", "AppName:", "AppVersion:", "DefaultDir:",
                                   "AppLogo:",     "Home:",    "VormexDir:",  "WinDir:",
                                   "Menu:",        "Desktop:", "BtrieveCheck:", "BtrieveRegistry:"};
// A "BtrieveCheck:" line and its key path hold at most 511 characters.
constexpr std::size_t kMaxCheckLine = 511;

std::string Printf(const char* format, ...) QZ_PRINTF(1, 2);
std::string Printf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int size = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
  if (size > 0) std::vsnprintf(text.data(), text.size() + 1, format, args);
  va_end(args);
  return text;
}

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(UpperCp1250(static_cast<unsigned char>(c)));
  for (char& c : upper) {
    if (c == '/') c = '\\';
  }
  return upper;
}

// A medium's path as findings show it: "/" between names.
std::string Shown(std::string_view path) {
  std::string shown(path);
  std::replace(shown.begin(), shown.end(), '\\', '/');
  return shown;
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

bool IsAbsolute(std::string_view path) {
  return (!path.empty() && (path[0] == '\\' || path[0] == '/')) || (path.size() >= 2 && path[1] == ':');
}

// A registry that holds nothing and takes every write: a settings file's
// import then fails only where its own lines fail.
class ProbeRegistry : public platform::RegistryStore {
 public:
  ErrorCode OpenKey(platform::RootKey, const char*, platform::KeyAccess, platform::KeyHandle&) override {
    return platform::kErrorFileNotFound;
  }
  ErrorCode CreateKey(platform::RootKey, const char*, platform::KeyHandle& key) override {
    key = 1;
    return platform::kOk;
  }
  void CloseKey(platform::KeyHandle) override {}
  ErrorCode QueryValue(platform::KeyHandle, const char*, platform::ValueType*, void*, std::uint32_t&) override {
    return platform::kErrorFileNotFound;
  }
  ErrorCode SetValue(platform::KeyHandle, const char*, platform::ValueType, const void*, std::uint32_t) override {
    return platform::kOk;
  }
  ErrorCode QueryInfo(platform::KeyHandle, std::uint32_t& subkeys, std::uint32_t& values) override {
    subkeys = values = 0;
    return platform::kOk;
  }
  ErrorCode EnumValue(platform::KeyHandle, std::uint32_t, TextBuffer&) override { return platform::kErrorNoMoreItems; }
  ErrorCode EnumKey(platform::KeyHandle, std::uint32_t, TextBuffer&) override { return platform::kErrorNoMoreItems; }
  ErrorCode DeleteValue(platform::KeyHandle, const char*) override { return platform::kOk; }
  ErrorCode DeleteKey(platform::RootKey, const char*) override { return platform::kOk; }
};

// The version sections of DBCHANGE.QRT, as its reader meets them.
class VersionSections : public ConversionScriptObserver {
 public:
  struct Section {
    int line;
    std::string version;
  };
  void VersionSection(int line, std::string_view version, bool) override { sections.push_back({line, std::string(version)}); }
  std::vector<Section> sections;
};

struct Item {
  int line;
  std::string text;
};

// A file the run copies: where to, from where on the medium, by which line.
struct Copied {
  std::string target;
  std::string source;
  int line;
};

class MediumChecker {
 public:
  MediumChecker(platform::FileSystem& files, platform::BtrieveEngine& btrieve)
      : files_(files), btrieve_(btrieve), script_(files), macros_(settings_) {}

  std::vector<Finding> Run();

 private:
  void Add(Check check, std::string file, int line, std::string text) {
    findings_.push_back({check, std::move(file), line, std::move(text)});
  }
  void AddScript(Check check, int line, std::string text) { Add(check, kScript, line, std::move(text)); }
  // An item line longer than the setup program takes: true, with its
  // finding and what the refusal leads to.
  bool RefusedForLength(const Item& item, std::size_t limit, const char* consequence) {
    if (item.text.size() <= limit) return false;
    AddScript(Check::TextLength, item.line,
              Printf("the line is %zu characters long: the setup program refuses lines over %zu characters, %s",
                     item.text.size(), limit, consequence));
    return true;
  }
  // A settings file's name that does not fit a path: true, with its
  // finding and where the installation stops.
  bool RefusedSettingsFileName(int line, const TextBuffer& name, bool whole, const char* where) {
    if (FitsPath(name, whole)) return false;
    AddScript(Check::TextLength, line,
              Printf("the settings file's name is %zu characters long: over 259, it cannot be opened, and the "
                     "installation stops %s",
                     name.length(), where));
    return true;
  }

  // The items of the first section of the label, as the setup program reads
  // them; false when the label is not there.
  bool ReadSection(const char* label, std::vector<Item>& items, int& labelLine);
  bool IsFileOnMedium(std::string_view path);
  void Use(std::string_view path) { used_.insert(Upper(path)); }

  void CheckDefaults();
  bool ReadDefault(const char* label, TextBuffer& field, const char* missingMessage, int& line);
  void CheckDuplicateLabels();
  void CheckBtrieveSettings();
  void CheckSettingsFile(std::string_view path, int scriptLine, bool raiseDwords);
  // The text of a line of a file of the medium, for a finding to quote.
  std::string LineOf(const std::string& path, int number);
  void CheckWinDir();
  // The "Home:" or "VormexDir:" section, as SectionWalk plans it below
  // `root`; the files it copies are kept for the later checks.
  void CheckTree(const char* label, std::string_view root, bool home);
  // One planned item's findings; false where the section stops.
  bool ReportTreeItem(const PlannedItem& item, bool home);
  bool ReportDirectory(const PlannedItem& item);
  bool ReportCopy(const PlannedItem& item, bool home);
  std::optional<bool> ReportFault(const PlannedItem& item, const char* kind, const char* pathNoun);
  void CheckShortcuts(const char* label);
  void CheckUninstaller();
  void CheckPageFiles();
  void CheckDatabases();
  void CheckConversionScript();
  void CheckUnusedFiles();
  void ListMedium(const std::string& directory, std::vector<std::string>& out, int depth);

  bool Installs() const { return type_ == kInstallInstall; }
  bool InstallsFiles() const { return type_ == kInstallInstall || type_ == kInstallPatch; }

  platform::FileSystem& files_;
  platform::BtrieveEngine& btrieve_;
  SetupScript script_;
  SetupSettings settings_;
  SettingsMacros macros_;
  std::int32_t type_ = kInstallInstall;
  int winDirLine_ = 0;
  int vormexDirLine_ = 0;
  std::vector<Copied> homeFiles_;
  std::vector<Copied> otherFiles_;  // "WinDir:" and "VormexDir:"
  std::set<std::string> used_;      // upper-cased medium paths
  std::vector<Finding> findings_;
};

bool MediumChecker::ReadSection(const char* label, std::vector<Item>& items, int& labelLine) {
  items.clear();
  labelLine = 0;
  if (!script_.FindLabel(label)) return false;
  labelLine = script_.LineNumber();
  WideText text;
  while (script_.ReadItem(text)) items.push_back({script_.LineNumber(), std::string(text.view())});
  return true;
}

bool MediumChecker::IsFileOnMedium(std::string_view path) {
  std::uint32_t attributes = 0;
  std::string text(path);
  return files_.GetAttributes(text.c_str(), attributes) == platform::kOk &&
         (attributes & platform::kAttributeDirectory) == 0;
}

std::vector<Finding> MediumChecker::Run() {
  if (!script_.Open(kScript)) {
    Add(Check::MissingSource, kScript, 0, "the setup script is not on the medium (or cannot be read)");
    return std::move(findings_);
  }
  Use(kScript);
  settings_.winDir = files_.WindowsDir();
  settings_.sysDir = files_.SystemDir();
  settings_.vormexDir.Format("%s\\Vormex", settings_.winDir.c_str());
  CheckDefaults();
  CheckDuplicateLabels();
  if (Installs()) {
    CheckBtrieveSettings();
    CheckWinDir();
  }
  if (InstallsFiles()) {
    CheckTree("Home:", settings_.homeDir.view(), true);
    CheckTree("VormexDir:", settings_.vormexDir.view(), false);
    CheckShortcuts("Menu:");
    CheckShortcuts("Desktop:");
  }
  if (Installs()) CheckUninstaller();
  CheckPageFiles();
  CheckDatabases();
  CheckConversionScript();
  CheckUnusedFiles();
  script_.Close();
  // setup.ini's findings by line, then each other file's, in the order met.
  std::stable_sort(findings_.begin(), findings_.end(), [](const Finding& a, const Finding& b) {
    bool aScript = a.file == kScript, bScript = b.file == kScript;
    if (aScript != bScript) return aScript;
    return aScript && a.line < b.line;
  });
  return std::move(findings_);
}

bool MediumChecker::ReadDefault(const char* label, TextBuffer& field, const char* missingMessage, int& line) {
  FixedText<1024> item;
  bool found = script_.FindLabel(label);
  line = found ? script_.LineNumber() : 0;
  if (!found || !script_.ReadItem(item)) {
    AddScript(Check::MissingLabel, line,
              found ? Printf("\"%s\" has no value: the setup stops with \"%s\"", label, missingMessage)
                    : Printf("\"%s\" is missing: the setup stops with \"%s\"", label, missingMessage));
    return false;
  }
  line = script_.LineNumber();
  // As the setup program reads it: expanded into the field, cut to it.
  WideText whole;
  macros_.Expand(item.view(), whole);
  bool fits = true;
  macros_.Expand(item.view(), field, &fits);
  if (!fits) {
    AddScript(Check::TextLength, line,
              Printf("the value of \"%s\" is %zu characters long: the setup program cuts it to %zu", label,
                     whole.length(), field.capacity() - 1));
  }
  return true;
}

void MediumChecker::CheckDefaults() {
  SetupSettings& s = settings_;
  int line = 0;
  NameText type;
  if (ReadDefault("InstallType:", type, msg::kNoInstallType, line)) {
    if (type == "Install") {
      s.installType = kInstallInstall;
    } else if (type == "Patch") {
      s.installType = kInstallPatch;
    } else if (type == "Update") {
      s.installType = kInstallUpdate;
    } else if (type.empty()) {
      AddScript(Check::MissingLabel, line,
                Printf("\"InstallType:\" has an empty value (is it in double quotes?): the setup stops with \"%s\"",
                       msg::kUnknownInstallType));
    } else {
      AddScript(Check::InstallType, line,
                Printf("the install type \"%s\" is none of \"Install\", \"Patch\", \"Update\": the setup stops with "
                       "\"%s\"",
                       type.c_str(), msg::kUnknownInstallType));
    }
  }
  // A run of unknown type is checked as a first installation, which reads
  // every section.
  type_ = s.installType == kInstallNone ? kInstallInstall : s.installType;

  struct Default {
    const char* label;
    TextBuffer& field;
    const char* message;
    bool needsValue;
  };
  Default defaults[] = {
      {"AppName:", s.appName, msg::kNoAppName, true},
      {"AppVersion:", s.appVersion, msg::kNoAppVersion, true},
      {"DefaultDir:", s.homeDir, msg::kNoDefaultDir, true},
      {"AppLogo:", s.appLogo, msg::kNoAppLogo, false},
  };
  for (Default& d : defaults) {
    if (!ReadDefault(d.label, d.field, d.message, line)) continue;
    if (d.needsValue && d.field.empty()) {
      AddScript(Check::MissingLabel, line, Printf("\"%s\" has an empty value (is it in double quotes?)", d.label));
    }
    if (&d.field == &s.appName && !s.appName.empty() && !IsValidAppName(s.appName.view())) {
      AddScript(Check::RefusedName, line,
                Printf("the application name \"%s\" is refused, as %s: the setup stops before any page",
                       s.appName.c_str(), PathFaultReason(CheckName(s.appName.view()))));
    }
  }
}

void MediumChecker::CheckDuplicateLabels() {
  std::map<std::string, int> first;
  if (!script_.Rewind()) return;
  WideText text;
  for (;;) {
    if (script_.ReadItem(text)) continue;
    if (text.empty()) break;
    std::string label(text.view());
    if (std::find_if(std::begin(kLabels), std::end(kLabels), [&](const char* l) { return label == l; }) ==
        std::end(kLabels)) {
      continue;
    }
    auto [at, added] = first.emplace(label, script_.LineNumber());
    if (!added) {
      AddScript(Check::DuplicateLabel, script_.LineNumber(),
                Printf("\"%s\" appears again (first at line %d): only the first section counts", label.c_str(),
                       at->second));
    }
  }
}

void MediumChecker::CheckBtrieveSettings() {
  std::vector<Item> items;
  int labelLine = 0;
  if (ReadSection("BtrieveCheck:", items, labelLine)) {
    for (const Item& item : items) {
      if (RefusedForLength(item, kMaxCheckLine, "and the installation stops here")) break;
      WideText file, key;
      bool fileWhole = true, keyWhole = true;
      int close = macros_.Expand(item.text, file, &fileWhole);
      if (close > 0) macros_.Expand(std::string_view(item.text).substr(static_cast<std::size_t>(close) + 1), key, &keyWhole);
      if (key.empty()) {
        AddScript(Check::SkippedLine, item.line,
                  "no registry key in double quotes after the settings file: the line is never applied");
        continue;
      }
      if (!keyWhole || key.length() > kMaxCheckLine) {
        AddScript(Check::TextLength, item.line,
                  Printf("the registry key is %zu characters long: the setup program skips keys over %zu characters",
                         key.length(), kMaxCheckLine));
        continue;
      }
      if (RefusedSettingsFileName(item.line, file, fileWhole, "where the key exists")) continue;
      CheckSettingsFile(file.view(), item.line, true);
    }
  }
  if (ReadSection("BtrieveRegistry:", items, labelLine)) {
    for (const Item& item : items) {
      if (RefusedForLength(item, kMaxPathLength, "and the installation stops here")) break;
      WideText path;
      bool whole = true;
      macros_.Expand(item.text, path, &whole);
      if (RefusedSettingsFileName(item.line, path, whole, "here")) break;
      CheckSettingsFile(path.view(), item.line, false);
    }
  }
}

void MediumChecker::CheckSettingsFile(std::string_view path, int scriptLine, bool raiseDwords) {
  if (path.empty()) {
    AddScript(Check::MissingSource, scriptLine,
              "the line names no settings file in double quotes: it cannot be opened, and the installation stops");
    return;
  }
  // A file named by a full path is looked for on the machine, not on the
  // medium: nothing here can tell whether it will be there.
  if (IsAbsolute(path)) return;
  Use(path);
  ProbeRegistry store;
  Registry registry(store);
  RegistryFile file(files_, registry, macros_);
  std::string name(path);
  if (!file.Open(name.c_str())) {
    AddScript(Check::MissingSource, scriptLine,
              Printf("the settings file \"%s\" is not on the medium: the installation stops here", name.c_str()));
    return;
  }
  if (!file.Import(raiseDwords)) {
    Add(Check::SettingsLine, Shown(name), file.LineNumber(),
        Printf("the import fails on this line (%s): it and the lines after it are not applied", LineOf(name, file.LineNumber()).c_str()));
  }
  file.Close();
}

std::string MediumChecker::LineOf(const std::string& path, int number) {
  ErrorCode error = platform::kOk;
  auto input = files_.OpenForReading(path.c_str(), platform::kShareRead, error);
  if (!input) return "";
  platform::LineReader reader(std::move(input));
  std::string line;
  for (int i = 0; i < number; ++i) {
    if (!reader.ReadLine(line)) return "";
  }
  return std::string(TextLine(line));
}

void MediumChecker::CheckWinDir() {
  std::vector<Item> items;
  if (!ReadSection("WinDir:", items, winDirLine_)) return;
  for (const Item& item : items) {
    if (RefusedForLength(item, kMaxPathLength, "and the installation stops here")) break;
    // The name is taken whether or not its closing quote is there.
    WideText name;
    bool whole = true;
    macros_.Expand(item.text, name, &whole);
    if (name.empty()) {
      AddScript(Check::MissingSource, item.line,
                "the line names no file in double quotes: the copy of an empty name fails, and the installation "
                "stops here");
      continue;
    }
    if (PathFault fault = CheckItemPath(name.view()); fault != PathFault::kNone) {
      AddScript(Check::RefusedName, item.line,
                Printf("the file \"%s\" is refused, as %s", name.c_str(), PathFaultReason(fault)));
      continue;
    }
    std::string target = std::string(settings_.winDir.view()) + "\\" + std::string(name.view());
    if (!whole || target.size() > kMaxPathLength) {
      AddScript(Check::TextLength, item.line,
                Printf("the target %s is %zu characters long: the setup program refuses paths over 259 characters, "
                       "and the installation stops here",
                       target.c_str(), target.size()));
      break;
    }
    Use(name.view());
    otherFiles_.push_back({target, std::string(name.view()), item.line});
    if (!IsFileOnMedium(name.view())) {
      AddScript(Check::MissingSource, item.line, Printf("the file \"%s\" is not on the medium", name.c_str()));
    }
  }
}

void MediumChecker::CheckTree(const char* label, std::string_view root, bool home) {
  if (!script_.FindLabel(label)) {
    AddScript(Check::MissingLabel, 0,
              Printf("\"%s\" is missing: the installation fails at its row (an empty section installs nothing)", label));
    return;
  }
  if (!home) vormexDirLine_ = script_.LineNumber();
  // The items as the setup program plans them. It stops at the first
  // refused item; the checker goes on past a refused name to report the
  // rest, and stops where a length ends the section.
  SectionWalk walk(script_, macros_, root);
  PlannedItem item;
  while (walk.Next(item) && ReportTreeItem(item, home)) {
  }
}

bool MediumChecker::ReportTreeItem(const PlannedItem& item, bool home) {
  if (item.fault == ItemFault::kLineTooLong) {
    return !RefusedForLength({item.line, std::string(item.text)}, kMaxPathLength, "and the section stops here");
  }
  switch (item.kind) {
    case ItemKind::kSkip:
      AddScript(Check::SkippedLine, item.line,
                item.directoryItem
                    ? "a directory item (the line holds DIR) without a closed, non-empty name in double quotes: skipped"
                    : "a file item without a closed name in double quotes: the setup program skips it");
      return true;
    case ItemKind::kUp:
    case ItemKind::kToRoot: return true;
    case ItemKind::kMakeDirectory: return ReportDirectory(item);
    case ItemKind::kCopy: return ReportCopy(item, home);
  }
  return true;
}

bool MediumChecker::ReportDirectory(const PlannedItem& item) {
  std::string_view before = TrimWhiteSpace(item.text.substr(0, item.text.find('"')));
  if (before != "DIR") {
    AddScript(Check::DirTrap, item.line,
              Printf("the line holds \"DIR\", so the setup program makes the directory %s (a file item must "
                     "not hold the capitals DIR, in a name or a macro such as $WINDIR$)",
                     item.target.c_str()));
  }
  return ReportFault(item, "directory", "directory").value_or(true);
}

// A refused item, or one whose path is too long, reported as the setup
// program meets it: the checking of the section goes on past a refused name
// (true) and stops at a path too long (false). Nothing for an item without
// either fault.
std::optional<bool> MediumChecker::ReportFault(const PlannedItem& item, const char* kind, const char* pathNoun) {
  if (item.fault == ItemFault::kRefusedName) {
    AddScript(Check::RefusedName, item.line,
              Printf("the %s \"%s\" is refused, as %s", kind, item.name.c_str(), PathFaultReason(item.refusal)));
    return true;
  }
  if (item.fault == ItemFault::kPathTooLong) {
    AddScript(Check::TextLength, item.line,
              Printf("the %s %s is %zu characters long: the setup program refuses paths over 259 characters, "
                     "and the section stops here",
                     pathNoun, item.target.c_str(), item.target.length()));
    return false;
  }
  return std::nullopt;
}

bool MediumChecker::ReportCopy(const PlannedItem& item, bool home) {
  if (item.name.empty()) {
    AddScript(Check::MissingSource, item.line, "the line names an empty file: the copy fails, and the section stops here");
    return true;
  }
  if (std::optional<bool> goOn = ReportFault(item, "file", "target")) return *goOn;
  Use(item.source.view());
  (home ? homeFiles_ : otherFiles_).push_back({std::string(item.target.view()), std::string(item.source.view()), item.line});
  if (!IsFileOnMedium(item.source.view())) {
    AddScript(Check::MissingSource, item.line, Printf("the file \"%s\" is not on the medium", Shown(item.source.view()).c_str()));
  }
  return true;
}

void MediumChecker::CheckShortcuts(const char* label) {
  std::vector<Item> items;
  int labelLine = 0;
  if (!ReadSection(label, items, labelLine)) return;
  for (const Item& item : items) {
    if (RefusedForLength(item, kMaxPathLength, "and makes no shortcut for it")) continue;
    WideText file, title;
    bool fileWhole = true, titleWhole = true;
    if (!SplitShortcutLine(macros_, item.text, file, fileWhole, title, titleWhole)) {
      AddScript(Check::SkippedLine, item.line,
                "no shortcut title in double quotes after the file name: the setup program makes no shortcut for it");
      continue;
    }
    if (PathFault fault = CheckShortcutTitle(title.view()); fault != PathFault::kNone) {
      AddScript(Check::RefusedName, item.line,
                Printf("the shortcut title \"%s\" is refused, as %s: no shortcut is made", title.c_str(),
                       PathFaultReason(fault)));
      continue;
    }
    std::string target = std::string(settings_.homeDir.view()) + "\\" + std::string(file.view());
    if (!fileWhole || target.size() > kMaxPathLength) {
      AddScript(Check::TextLength, item.line,
                Printf("the shortcut's target %s is %zu characters long: over 259, no shortcut is made",
                       target.c_str(), target.size()));
      continue;
    }
    // What a patch or an update points at may have been installed before.
    if (!Installs()) continue;
    std::string wanted = Upper(target);
    bool installed = std::any_of(homeFiles_.begin(), homeFiles_.end(),
                                 [&](const Copied& copied) { return Upper(copied.target) == wanted; });
    if (!installed) {
      AddScript(Check::ShortcutTarget, item.line,
                Printf("the shortcut \"%s\" points at %s, which no \"Home:\" item installs", title.c_str(),
                       target.c_str()));
    }
  }
}

void MediumChecker::CheckUninstaller() {
  auto installed = [&](const std::string& path) {
    std::string wanted = Upper(path);
    return std::any_of(otherFiles_.begin(), otherFiles_.end(),
                       [&](const Copied& copied) { return Upper(copied.target) == wanted; });
  };
  std::string entry = std::string(settings_.winDir.view()) + "\\qzuninst.exe";
  std::string shortcut = std::string(settings_.vormexDir.view()) + "\\qzuninst.exe";
  if (!installed(entry)) {
    AddScript(Check::NoUninstaller, winDirLine_,
              Printf("the uninstall entry starts %s, which no \"WinDir:\" item installs: the application cannot be "
                     "removed from the list of programs",
                     entry.c_str()));
  }
  if (!installed(shortcut)) {
    AddScript(Check::NoUninstaller, vormexDirLine_,
              Printf("the uninstall shortcut starts %s, which no \"VormexDir:\" item installs", shortcut.c_str()));
  }
}

void MediumChecker::CheckPageFiles() {
  std::string_view logo = settings_.appLogo.view();
  if (!logo.empty() && !IsAbsolute(logo)) Use(logo);
  FixedText<1024> item;
  if (script_.FindLabel("AppLogo:") && script_.ReadItem(item)) {
    int line = script_.LineNumber();
    if (logo.empty()) {
      AddScript(Check::MissingSource, line, "\"AppLogo:\" names no file: no logo is shown");
    } else if (!IsAbsolute(logo) && !IsFileOnMedium(logo)) {
      AddScript(Check::MissingSource, line,
                Printf("the logo \"%s\" is not on the medium: no logo is shown", Shown(logo).c_str()));
    }
  }
  for (const char* name : kPageTexts) {
    Use(name);
    if (!IsFileOnMedium(name)) {
      Add(Check::MissingSource, name, 0, "the text of a wizard page is not on the medium: the page shows no text");
    }
  }
}

void MediumChecker::CheckDatabases() {
  Use(kTableStatisticsFile);
  TableMap tables;
  ReadTables(files_, tables);
  // The files the conversion of an update visits once this medium is
  // installed: "*.DAT" in a directory of the home directory whose name ends
  // in ".DAT".
  std::set<std::string> names;
  std::string_view home = settings_.homeDir.view();
  for (const Copied& copied : homeFiles_) {
    // CheckTree planned every home target below the home directory.
    assert(copied.target.size() > home.size() && copied.target.starts_with(home));
    std::string_view below = std::string_view(copied.target).substr(home.size() + 1);
    std::size_t slash = below.find('\\');
    if (slash == std::string_view::npos || below.find('\\', slash + 1) != std::string_view::npos) continue;
    std::string_view directory = below.substr(0, slash);
    std::string_view name = below.substr(slash + 1);
    if (directory.size() < 4 || directory.substr(directory.size() - 4) != ".DAT" || !EndsWithNoCase(name, ".DAT")) {
      continue;
    }
    names.insert(std::string(name));
    if (!IsFileOnMedium(copied.source)) continue;
    auto file = std::make_unique<BtrieveFile>(btrieve_);
    std::uint16_t status = file->Open(copied.source.c_str());
    if (status != 0) {
      Add(Check::BtrieveFile, Shown(copied.source), 0,
          Printf("the Btrieve engine cannot %s this file (status %u): an update's conversion stops at it",
                 file->IsOpen() ? "Stat" : "open", static_cast<unsigned>(status)));
      if (file->IsOpen()) file->Call(BtrieveFile::kClose);
      continue;
    }
    unsigned length = file->statBuffer()[0] | (file->statBuffer()[1] << 8);
    file->Call(BtrieveFile::kClose);
    auto table = tables.find(name);
    if (table == tables.end()) continue;
    unsigned described = table->second->block[0] | (table->second->block[1] << 8);
    if (described != length) {
      Add(Check::DbstatFile, Shown(copied.source), 0,
          Printf("the record length is %u, but DBSTAT.QRT describes \"%s\" with %u", length,
                 std::string(name).c_str(), described));
    }
  }
  // Without database files on the medium (an update's medium) there is
  // nothing to match the tables with.
  if (names.empty()) return;
  for (const auto& [name, description] : tables) {
    if (names.count(name) == 0) {
      Add(Check::DbstatFile, kTableStatisticsFile, 0,
          Printf("the table \"%s\" has no database file on the medium", name.c_str()));
    }
  }
}

void MediumChecker::CheckConversionScript() {
  Use(kConversionScriptFile);
  ErrorCode error = platform::kOk;
  auto input = files_.OpenForReading(kConversionScriptFile, platform::kShareRead, error);
  if (!input) return;
  platform::LineReader reader(std::move(input));
  VersionSections sections;
  ConversionPlan plan;
  plan.SetVersion(settings_.appVersion.view());
  plan.ReadScript(reader, &sections);
  std::string_view version = settings_.appVersion.view();
  for (const VersionSections::Section& section : sections.sections) {
    std::string why;
    if (type_ == kInstallPatch) {
      why = "a patch never converts databases";
    } else if (section.version.size() > VersionText().capacity() - 1) {
      why = "a version is at most 31 characters long, so no installation has this one";
    } else if (!version.empty() && CompareVersions(section.version, version) > 0) {
      why = Printf("an installation of it is newer than this medium's %s, which the setup refuses to update",
                   settings_.appVersion.c_str());
    }
    if (!why.empty()) {
      Add(Check::DbchangeVersion, kConversionScriptFile, section.line,
          Printf("the section for version %s is never applied: %s", section.version.c_str(), why.c_str()));
    }
  }
}

void MediumChecker::ListMedium(const std::string& directory, std::vector<std::string>& out, int depth) {
  // Deeper than any medium goes: a link that loops ends here.
  if (depth > 32) return;
  std::string pattern = directory.empty() ? std::string("*.*") : directory + "\\*.*";
  ErrorCode error = platform::kOk;
  auto search = files_.FindFiles(pattern.c_str(), error);
  platform::FindEntry entry;
  while (search && search->Next(entry)) {
    if (entry.IsDots()) continue;
    std::string path = directory.empty() ? std::string(entry.name.view()) : directory + "\\" + entry.name.c_str();
    if (entry.IsDirectory()) {
      ListMedium(path, out, depth + 1);
    } else {
      out.push_back(path);
    }
  }
}

void MediumChecker::CheckUnusedFiles() {
  for (const char* name : kProgramFiles) Use(name);
  std::vector<std::string> found;
  ListMedium("", found, 0);
  // Directory searches come in the platform's order: sorted, the report is
  // the same on every machine.
  std::sort(found.begin(), found.end(), [](const std::string& a, const std::string& b) { return Upper(a) < Upper(b); });
  for (const std::string& path : found) {
    if (used_.count(Upper(path)) == 0) {
      Add(Check::UnusedFile, Shown(path), 0, "nothing installs or reads this file");
    }
  }
}

}  // namespace

std::vector<Finding> CheckMedium(platform::FileSystem& files, platform::BtrieveEngine& btrieve) {
  return MediumChecker(files, btrieve).Run();
}

}  // namespace qz::check
