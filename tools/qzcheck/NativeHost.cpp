#include "tools/qzcheck/NativeHost.h"

#include <cstdlib>
#include <system_error>

#include "text/CodePage.h"
#include "tools/qzcheck/Plan.h"

namespace qz::check {

namespace fs = std::filesystem;

NativeHost::~NativeHost() {
  btrieve_.reset();
  machine_.reset();
  if (!scratch_.empty()) {
    std::error_code ignored;
    fs::remove_all(scratch_, ignored);
  }
}

bool NativeHost::OpenMedium(const std::string& medium, std::string& problem) {
  fs::path dir = medium.empty() ? fs::current_path() : fs::path(medium);
  std::error_code error;
  if (!fs::is_directory(dir, error)) {
    problem = "no medium at " + medium;
    return false;
  }
  if (scratch_.empty()) {
    std::string pattern = (fs::temp_directory_path() / "qzcheck-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
      problem = "cannot make a scratch folder";
      return false;
    }
    scratch_ = pattern;
  }
  btrieve_.reset();
  machine_ = std::make_unique<platform::sim::SimMachine>(scratch_ / "machine", fs::absolute(dir));
  btrieve_ = std::make_unique<platform::sim::SimBtrieve>(*machine_);
  return true;
}

int NativeHost::Plan(const std::string& medium, const std::optional<std::string>& machine,
                     const std::optional<std::string>& dir, std::string& out, std::string& problem) {
  PlanOptions options;
  options.medium = medium.empty() ? fs::current_path() : fs::path(medium);
  if (machine) options.machine = fs::path(*machine);
  if (dir) {
    std::string text;
    if (!Cp1250FromUtf8(*dir, text)) {
      problem = "--dir holds a character that Windows-1250 lacks";
      return kExitUsage;
    }
    options.dir = text;
  }
  check::Plan plan = MakePlan(options);
  out += FormatPlan(plan, medium.empty() ? "." : medium);
  return PlanExitStatus(plan);
}

}  // namespace qz::check
