#include "tools/qzpack/PackProgram.h"

#include <cstdio>

#include "text/CodePage.h"
#include "tools/qzcheck/Findings.h"
#include "tools/qzcheck/MediumCheck.h"
#include "tools/qzpack/PackCheck.h"

namespace qz::pack {
namespace {

const char* kUsage =
    "usage: qzpack MEDIUM_DIR -o FILE.exe --programs DIR [--force]\n"
    "       qzpack --verify FILE.exe\n"
    "Packs an installation medium into one setup program: the setup stub, QZSetup.exe and the medium's\n"
    "files. --programs is the Windows build's bin folder (qzstub.exe, QZSetup.exe; qzpack.exe: its own\n"
    "folder by default). A medium the checker finds errors on is refused; --force packs it all the same.\n"
    "--verify checks a packed file as the stub does before it extracts anything.\n";

struct Arguments {
  std::string medium, output, programs, verify;
  bool force = false;
};

int Usage(std::string& err, const std::string& problem) {
  if (!problem.empty()) err += "qzpack: " + problem + "\n";
  err += kUsage;
  return check::kExitUsage;
}

bool Refuse(std::string& problem, std::string text) {
  problem = std::move(text);
  return false;
}

// False with the reason for arguments the program does not take.
bool ParseArguments(const std::vector<std::string>& args, Arguments& parsed, std::string& problem) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= args.size() || args[i + 1].empty()) return false;
      into = args[++i];
      return true;
    };
    if (arg == "-o") {
      if (!value(parsed.output)) return Refuse(problem, "-o needs the packed file's name");
    } else if (arg == "--programs") {
      if (!value(parsed.programs)) return Refuse(problem, "--programs needs a folder");
    } else if (arg == "--verify") {
      if (!value(parsed.verify)) return Refuse(problem, "--verify needs a packed file");
    } else if (arg == "--force") {
      parsed.force = true;
    } else if (!arg.empty() && arg[0] == '-') {
      return Refuse(problem, "unknown option " + arg);
    } else if (!parsed.medium.empty()) {
      return Refuse(problem, "one medium at a time");
    } else {
      parsed.medium = arg;
    }
  }
  if (!parsed.verify.empty()) {
    if (!parsed.medium.empty() || !parsed.output.empty()) return Refuse(problem, "--verify takes the packed file alone");
    return true;
  }
  if (parsed.medium.empty()) return Refuse(problem, "no medium given");
  if (parsed.output.empty()) return Refuse(problem, "no packed file given (-o FILE.exe)");
  return true;
}

std::string Hex(const unsigned char* bytes, std::size_t size) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  for (std::size_t i = 0; i < size; ++i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 15];
  }
  return text;
}

std::string Number(std::uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(value));
  return text;
}

int Verify(const std::string& path, PackProgramHost& host, std::string& out, std::string& err) {
  std::unique_ptr<ByteSource> file = host.OpenFile(path);
  std::unique_ptr<Sha256> sha256 = host.NewSha256();
  if (!file || !sha256) {
    err += "qzpack: cannot read " + path + "\n";
    return check::kExitTrouble;
  }
  PackedFile packed;
  const PackFault fault = CheckPackedFile(*file, *sha256, packed);
  if (fault != PackFault::kNone) {
    err += "qzpack: " + path + ": damaged: " + PackFaultText(fault);
    if (!packed.faultName.empty()) err += " (\"" + Utf8FromCp1250(packed.faultName) + "\")";
    err += "\n";
    return kPackExitDamaged;
  }
  out += "qzpack: " + path + ": intact, " + Number(packed.entries.size()) + " entries, " +
         Number(packed.extractedSize) + " bytes extracted, " +
         (packed.layout.certificateSize != 0 ? "signed" : "unsigned") + ", SHA-256 " +
         Hex(packed.record.sha256.data(), packed.record.sha256.size()) + "\n";
  return 0;
}

// The checker's findings go to `err`; true when the medium may be packed.
bool CheckMedium(const Arguments& args, PackProgramHost& host, std::string& err, int& status) {
  std::string problem;
  check::ProgramHost& checker = host.checker();
  if (!checker.OpenMedium(args.medium, problem)) {
    err += "qzpack: " + problem + "\n";
    status = check::kExitUsage;
    return false;
  }
  check::ReportOptions options;
  options.medium = args.medium;
  const check::Report report = check::MakeReport(check::CheckMedium(checker.files(), checker.btrieve()), options);
  if (!report.findings.empty()) err += check::FormatReport(report, options);
  if (report.errors == 0) return true;
  if (args.force) {
    err += "qzpack: packed in spite of " + Number(report.errors) + " errors (--force)\n";
    return true;
  }
  err += "qzpack: the medium has errors: nothing was packed (--force packs it all the same)\n";
  status = kPackExitMediumErrors;
  return false;
}

int Pack(Arguments args, PackProgramHost& host, std::string& out, std::string& err) {
  if (args.programs.empty()) args.programs = host.DefaultPrograms();
  if (args.programs.empty()) return Usage(err, "--programs is needed: the Windows build's bin folder");
  const std::string medium = host.Absolute(args.medium);
  const std::string programs = host.Absolute(args.programs);
  const std::string output = host.Absolute(args.output);
  int status = 0;
  if (!CheckMedium(args, host, err, status)) return status;

  std::string problem;
  std::unique_ptr<PackSource> source = host.OpenSource(medium, programs, problem);
  std::unique_ptr<OutputFile> file = source ? host.CreateOutput(output, problem) : nullptr;
  std::unique_ptr<Sha256> sha256 = host.NewSha256();
  PackSummary summary;
  PackNotes notes;
  if (!file || !sha256 || !PackMedium(*source, *file, *sha256, summary, notes, problem) || !file->Commit()) {
    if (problem.empty()) problem = "cannot write " + args.output;
    err += "qzpack: " + Utf8FromCp1250(problem) + "\n";
    return check::kExitTrouble;
  }
  for (const std::string& note : notes.leftOut) err += "qzpack: left out " + Utf8FromCp1250(note) + "\n";
  out += "qzpack: " + args.output + ": " + Number(summary.files) + " files, " + Number(summary.directories) +
         " folders, " + Number(summary.size) + " bytes stored in " + Number(summary.storedSize) +
         "; payload " + Number(summary.record.payloadLength) + " bytes at " +
         Number(summary.record.payloadOffset) + ", SHA-256 " +
         Hex(summary.record.sha256.data(), summary.record.sha256.size()) + "\n";
  return 0;
}

}  // namespace

int RunPackProgram(const std::vector<std::string>& args, PackProgramHost& host, std::string& out, std::string& err) {
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") {
      out += kUsage;
      return 0;
    }
  }
  Arguments parsed;
  std::string problem;
  if (!ParseArguments(args, parsed, problem)) return Usage(err, problem);
  if (!parsed.verify.empty()) return Verify(parsed.verify, host, out, err);
  return Pack(parsed, host, out, err);
}

}  // namespace qz::pack
