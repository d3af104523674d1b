#pragma once
// What qzcheck reports: findings of named checks, as compilers report
// (file:line: error|warning: text [check]), or as JSON, and the exit status
// they make.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qz::check {

enum class Severity { Warning, Error };

// One check: its stable name (shown with each finding and used to switch it
// off), its severity and what it finds, for the list of checks.
struct CheckInfo {
  const char* name;
  Severity severity;
  const char* meaning;
};

enum class Check {
  MissingLabel,
  InstallType,
  RefusedName,
  MissingSource,
  SettingsLine,
  BtrieveFile,
  DirTrap,
  SkippedLine,
  DuplicateLabel,
  TextLength,
  ShortcutTarget,
  NoUninstaller,
  DbstatFile,
  DbchangeVersion,
  UnusedFile,
};

const std::vector<CheckInfo>& Checks();
const CheckInfo& Info(Check check);
// The check of a stable name; false when there is none.
bool FindCheck(std::string_view name, Check& check);

struct Finding {
  Check check;
  std::string file;  // the medium's file, relative to it, "/" between names (Windows-1250)
  int line = 0;      // from 1; 0 when the finding is about the whole file
  std::string text;  // Windows-1250
};

// Which checks report, and whether warnings count as errors.
struct ReportOptions {
  std::vector<Check> disabled;
  bool werror = false;
  bool json = false;
  // What the file names are shown below: the medium's directory as given
  // ("" for the current directory).
  std::string medium;
};

struct Report {
  std::vector<Finding> findings;  // those of the checks switched on, in order
  std::size_t errors = 0;
  std::size_t warnings = 0;
  bool werror = false;

  Severity SeverityOf(const Finding& finding) const;
  // 0 clean, 1 warnings only, 2 errors.
  int ExitStatus() const;
};

Report MakeReport(std::vector<Finding> findings, const ReportOptions& options);
// The report as text lines and a summary line, or as one JSON document;
// UTF-8.
std::string FormatReport(const Report& report, const ReportOptions& options);

}  // namespace qz::check
