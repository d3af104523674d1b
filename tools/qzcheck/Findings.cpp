#include "tools/qzcheck/Findings.h"

#include <algorithm>
#include <cstdio>

#include "text/CodePage.h"

namespace qz::check {
namespace {

constexpr Severity E = Severity::Error;
constexpr Severity W = Severity::Warning;

// In the order of the enumeration.
const std::vector<CheckInfo> kChecks = {
    {"missing-label", E, "a default the setup program needs (InstallType:, AppName:, AppVersion:, DefaultDir:, "
                         "AppLogo:) is missing or empty, or a section the run installs (Home:, VormexDir:) is missing"},
    {"install-type", E, "InstallType: is none of \"Install\", \"Patch\", \"Update\""},
    {"refused-name", E, "an application name, item path or shortcut title the setup program refuses"},
    {"missing-source", E, "a file the run copies or reads is not on the medium"},
    {"settings-line", E, "a line of a Btrieve settings file on which the import fails"},
    {"btrieve-file", E, "a database file the Btrieve engine cannot open or Stat"},
    {"dir-trap", W, "a line holding DIR that is not a DIR item: it is made as a directory"},
    {"skipped-line", W, "an item line without its quoted name (or shortcut title): the setup program skips it"},
    {"duplicate-label", W, "a label that appears again: only its first section counts"},
    {"text-length", W, "a text that is cut, or refused, for its length"},
    {"shortcut-target", W, "a shortcut whose target no Home: item installs"},
    {"no-uninstaller", W, "no qzuninst.exe installed where the uninstall entry or shortcut points"},
    {"dbstat-file", W, "a DBSTAT.QRT table with no database file, or with another record length than the file's"},
    {"dbchange-version", W, "a DBCHANGE.QRT section for a version this medium never converts"},
    {"unused-file", W, "a file on the medium that nothing installs or reads"},
};

void AppendJsonString(std::string& out, std::string_view utf8) {
  out += '"';
  for (char c : utf8) {
    auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  out += '"';
}

std::string Counted(std::size_t n, const char* what) {
  return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

std::string ShownPath(const ReportOptions& options, const std::string& file) {
  std::string prefix = options.medium;
  if (!prefix.empty() && prefix.back() != '/' && prefix.back() != '\\') prefix += '/';
  return prefix + Utf8FromCp1250(file);
}

}  // namespace

const std::vector<CheckInfo>& Checks() { return kChecks; }

const CheckInfo& Info(Check check) { return kChecks[static_cast<std::size_t>(check)]; }

bool FindCheck(std::string_view name, Check& check) {
  for (std::size_t i = 0; i < kChecks.size(); ++i) {
    if (name == kChecks[i].name) {
      check = static_cast<Check>(i);
      return true;
    }
  }
  return false;
}

Severity Report::SeverityOf(const Finding& finding) const {
  return werror ? Severity::Error : Info(finding.check).severity;
}

int Report::ExitStatus() const { return errors > 0 ? 2 : warnings > 0 ? 1 : 0; }

Report MakeReport(std::vector<Finding> findings, const ReportOptions& options) {
  Report report;
  report.werror = options.werror;
  for (Finding& finding : findings) {
    if (std::find(options.disabled.begin(), options.disabled.end(), finding.check) != options.disabled.end()) continue;
    if (report.SeverityOf(finding) == Severity::Error) ++report.errors;
    else ++report.warnings;
    report.findings.push_back(std::move(finding));
  }
  return report;
}

std::string FormatReport(const Report& report, const ReportOptions& options) {
  std::string out;
  if (options.json) {
    out += "{\"medium\": ";
    AppendJsonString(out, options.medium.empty() ? "." : options.medium);
    out += ", \"findings\": [";
    const char* separator = "\n  ";
    for (const Finding& finding : report.findings) {
      out += separator;
      separator = ",\n  ";
      out += "{\"file\": ";
      AppendJsonString(out, Utf8FromCp1250(finding.file));
      out += ", \"line\": ";
      out += std::to_string(finding.line);
      out += ", \"severity\": ";
      out += report.SeverityOf(finding) == Severity::Error ? "\"error\"" : "\"warning\"";
      out += ", \"check\": ";
      AppendJsonString(out, Info(finding.check).name);
      out += ", \"text\": ";
      AppendJsonString(out, Utf8FromCp1250(finding.text));
      out += "}";
    }
    if (!report.findings.empty()) out += "\n";
    out += "], \"errors\": ";
    out += std::to_string(report.errors);
    out += ", \"warnings\": ";
    out += std::to_string(report.warnings);
    out += "}\n";
    return out;
  }
  for (const Finding& finding : report.findings) {
    out += ShownPath(options, finding.file);
    if (finding.line > 0) {
      out += ':';
      out += std::to_string(finding.line);
    }
    out += report.SeverityOf(finding) == Severity::Error ? ": error: " : ": warning: ";
    out += Utf8FromCp1250(finding.text);
    out += " [";
    out += Info(finding.check).name;
    out += "]\n";
  }
  out += "qzcheck: ";
  out += options.medium.empty() ? std::string(".") : options.medium;
  out += ": " + Counted(report.errors, "error") + ", " + Counted(report.warnings, "warning") + "\n";
  return out;
}

}  // namespace qz::check
