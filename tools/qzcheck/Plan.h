#pragma once
// The dry run of a medium: the setup program, run by the unattended
// operator of the native QZSetup, installs the medium on a throw-away copy
// of a simulated machine (a new empty one, or a copy of the one named,
// which is never changed), and the copy is compared before and after.
//
// The simulated machine exists in the native build only, so the dry run
// does too: on Windows it would need a copy of the real machine.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "btrieve/TableDescription.h"
#include "engine/SetupSettings.h"
#include "setup/SetupApp.h"

namespace qz::check {

struct PlanOptions {
  std::filesystem::path medium;
  std::optional<std::filesystem::path> machine;
  // Typed into the directory page (Windows-1250); the default is accepted
  // without it.
  std::optional<std::string> dir;
};

// Texts are Windows-1250; paths are Windows paths.
struct PathChange {
  char kind;  // '+' created, '~' replaced or written to, '-' deleted
  std::string path;
  bool directory;
};

struct ShortcutMade {
  std::string link;
  std::string target;
  std::string arguments;
  std::string workingDirectory;
  std::string description;
};

struct RegistryChange {
  char kind;          // '+', '~' or '-'
  std::string key;    // HKEY_...\...
  std::string value;  // "name"=data as REGEDIT4 writes it; empty for the key itself
};

struct RaisedSetting {
  std::string key;
  std::string name;
  std::uint32_t before;
  std::uint32_t after;
};

// The changes of one version section of DBCHANGE.QRT, table by table.
struct VersionPlan {
  std::string version;
  int line = 0;
  std::vector<std::pair<std::string, std::vector<TableChange>>> tables;
};

struct Plan {
  std::string machine;  // the machine copied, as named (UTF-8); empty for a new empty one
  SetupSettings settings;  // as the run left them: the kind of run, the home directory
  RunOutcome outcome = RunOutcome::Running;
  std::string lastListLine;           // the progress list's last line
  std::vector<std::string> messages;  // the message boxes shown, as the transcript has them
  std::vector<PathChange> files;
  std::vector<ShortcutMade> shortcuts;
  std::vector<RegistryChange> registry;
  std::vector<RaisedSetting> raised;
  // An update: the backup and the conversion plan of every version
  // DBCHANGE.QRT names.
  std::string backupDir;
  std::size_t backupEntries = 0;
  std::vector<VersionPlan> conversion;
};

// Throws std::runtime_error when the run cannot be made (no such machine,
// a copy that fails, the operator stuck).
Plan MakePlan(const PlanOptions& options);
// The plan as text, UTF-8.
std::string FormatPlan(const Plan& plan, const std::string& mediumShown);
// 0 when the installation finished, 1 when it stopped, failed or was left.
int PlanExitStatus(const Plan& plan);

}  // namespace qz::check
