// qzcheck natively: the medium is read through a simulated machine whose
// working directory it is (a scratch machine, removed at the end), and the
// dry run installs it on a throw-away machine.

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>
#include <system_error>

#include "common/CodePage.h"
#include "platform/sim/SimMachine.h"
#include "platform/sim/btrieve/SimBtrieve.h"
#include "tools/qzcheck/Plan.h"
#include "tools/qzcheck/Program.h"

namespace {

namespace fs = std::filesystem;

class NativeHost : public qz::check::ProgramHost {
 public:
  ~NativeHost() override {
    btrieve_.reset();
    machine_.reset();
    if (!scratch_.empty()) {
      std::error_code ignored;
      fs::remove_all(scratch_, ignored);
    }
  }

  bool OpenMedium(const std::string& medium, std::string& problem) override {
    fs::path dir = medium.empty() ? fs::current_path() : fs::path(medium);
    std::error_code error;
    if (!fs::is_directory(dir, error)) {
      problem = "no medium at " + medium;
      return false;
    }
    std::string pattern = (fs::temp_directory_path() / "qzcheck-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
      problem = "cannot make a scratch folder";
      return false;
    }
    scratch_ = pattern;
    machine_ = std::make_unique<qz::platform::sim::SimMachine>(scratch_ / "machine", fs::absolute(dir));
    btrieve_ = std::make_unique<qz::platform::sim::SimBtrieve>(*machine_);
    return true;
  }
  qz::platform::FileSystem& files() override { return machine_->files(); }
  qz::platform::BtrieveEngine& btrieve() override { return *btrieve_; }

  int Plan(const std::string& medium, const std::optional<std::string>& machine, const std::optional<std::string>& dir,
           std::string& out, std::string& problem) override {
    qz::check::PlanOptions options;
    options.medium = medium.empty() ? fs::current_path() : fs::path(medium);
    if (machine) options.machine = fs::path(*machine);
    if (dir) {
      std::string text;
      if (!qz::Cp1250FromUtf8(*dir, text)) {
        problem = "--dir holds a character that Windows-1250 lacks";
        return qz::check::kExitUsage;
      }
      options.dir = text;
    }
    qz::check::Plan plan = qz::check::MakePlan(options);
    out += qz::check::FormatPlan(plan, medium.empty() ? "." : medium);
    return qz::check::PlanExitStatus(plan);
  }

 private:
  fs::path scratch_;
  std::unique_ptr<qz::platform::sim::SimMachine> machine_;
  std::unique_ptr<qz::platform::sim::SimBtrieve> btrieve_;
};

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string out, err;
  int status;
  try {
    NativeHost host;
    status = qz::check::RunProgram(args, host, out, err);
  } catch (const std::exception& e) {
    err += std::string("qzcheck: ") + qz::Utf8FromCp1250(e.what()) + "\n";
    status = qz::check::kExitTrouble;
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fflush(stdout);
  std::fwrite(err.data(), 1, err.size(), stderr);
  return status;
}
