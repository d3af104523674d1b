#include "tools/qzcheck/Program.h"

#include "tools/qzcheck/Findings.h"
#include "tools/qzcheck/MediumCheck.h"

namespace qz::check {
namespace {

const char* kUsage =
    "usage: qzcheck [--json] [--werror] [--disable CHECK[,CHECK...]]... [MEDIUM_DIR]\n"
    "       qzcheck --plan [--machine DIR] [--dir PATH] [MEDIUM_DIR]\n"
    "       qzcheck --list-checks\n"
    "Checks an installation medium (default: the current directory) as the setup program reads it,\n"
    "or with --plan shows what its installation would change on a throw-away copy of a simulated\n"
    "machine (a new empty one, or a copy of DIR, which stays unchanged).\n";

int Usage(std::string& err, const std::string& problem) {
  if (!problem.empty()) err += "qzcheck: " + problem + "\n";
  err += kUsage;
  return kExitUsage;
}

}  // namespace

int RunProgram(const std::vector<std::string>& args, ProgramHost& host, std::string& out, std::string& err) {
  ReportOptions options;
  bool plan = false;
  std::optional<std::string> machine, dir;
  std::string medium;
  bool haveMedium = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= args.size() || args[i + 1].empty()) return false;
      into = args[++i];
      return true;
    };
    std::string text;
    if (arg == "--json") {
      options.json = true;
    } else if (arg == "--werror") {
      options.werror = true;
    } else if (arg == "--disable") {
      if (!value(text)) return Usage(err, "--disable needs the name of a check");
      for (std::size_t start = 0; start <= text.size();) {
        std::size_t comma = text.find(',', start);
        std::string name = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        Check check;
        if (!FindCheck(name, check)) return Usage(err, "no check is named \"" + name + "\" (see --list-checks)");
        options.disabled.push_back(check);
        if (comma == std::string::npos) break;
        start = comma + 1;
      }
    } else if (arg == "--list-checks") {
      for (const CheckInfo& info : Checks()) {
        std::string name(info.name);
        name.resize(18, ' ');
        out += name + (info.severity == Severity::Error ? "error    " : "warning  ") + info.meaning + "\n";
      }
      return 0;
    } else if (arg == "--plan") {
      plan = true;
    } else if (arg == "--machine") {
      if (!value(text)) return Usage(err, "--machine needs a directory");
      machine = text;
    } else if (arg == "--dir") {
      if (!value(text)) return Usage(err, "--dir needs a path");
      dir = text;
    } else if (arg == "--help" || arg == "-h") {
      out += kUsage;
      return 0;
    } else if (!arg.empty() && arg[0] == '-') {
      return Usage(err, "unknown option " + arg);
    } else if (haveMedium) {
      return Usage(err, "one medium at a time");
    } else {
      medium = arg;
      haveMedium = true;
    }
  }
  if (!plan && (machine || dir)) return Usage(err, "--machine and --dir go with --plan");
  if (plan) {
    std::string problem;
    int status = host.Plan(medium, machine, dir, out, problem);
    if (!problem.empty()) err += "qzcheck: " + problem + "\n";
    return status;
  }
  std::string problem;
  if (!host.OpenMedium(medium, problem)) return Usage(err, problem);
  options.medium = medium;
  Report report = MakeReport(CheckMedium(host.files(), host.btrieve()), options);
  out += FormatReport(report, options);
  return report.ExitStatus();
}

}  // namespace qz::check
