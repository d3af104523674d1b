#pragma once
// The install sequences as one table: each row says which kinds of run
// perform it, the progress line added before its step, the step, and the
// failure message that stops the sequence when the step returns false.
// The first failure's message is returned to the caller, which shows it.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <vector>

#include "engine/SetupSettings.h"
#include "engine/StepContext.h"
#include "text/Text.h"

namespace qz {

// A text of the sequence; each "%s" in it takes the next of its values.
class RowText {
 public:
  enum class Value { AppName, OldVersion, AppVersion };

  RowText() = default;
  RowText(const char* pattern, std::initializer_list<Value> values = {}) : pattern_(pattern), values_(values) {}
  explicit operator bool() const { return pattern_ != nullptr; }
  // Writes the text with the run's values into `out` (cut to its capacity).
  void Compose(const SetupSettings& settings, TextBuffer& out) const;

 private:
  const char* pattern_ = nullptr;
  std::vector<Value> values_;
};

// The kinds of run a row belongs to.
inline constexpr unsigned kRunsOnInstall = 1u << kInstallInstall;
inline constexpr unsigned kRunsOnPatch = 1u << kInstallPatch;
inline constexpr unsigned kRunsOnUpdate = 1u << kInstallUpdate;

using InstallStep = std::function<bool(StepContext&)>;

struct InstallRow {
  unsigned runsOn = 0;
  RowText progress;  // none: no line is added
  InstallStep step;  // a row without a step fails
  RowText failure;
};

using InstallSequence = std::vector<InstallRow>;

// Runs the rows that belong to the run's InstallType, top to bottom, each
// row's list line added before its step. Stops at the first step that
// returns false (or a row without a step) and returns that row's failure
// message, with the run's values in it; nothing when every row succeeded
// (also when no row belongs to the type).
std::optional<MessageText> RunSequence(const InstallSequence& rows, std::int32_t installType, StepContext& ctx);

// The steps of the setup program, by the role they play in the sequence.
struct InstallSteps {
  InstallStep btrieveCheck;
  InstallStep btrieveRegistry;
  InstallStep installWindir;
  InstallStep installHome;       // the "Home:" section into HomeDir
  InstallStep installVormexDir;  // the "VormexDir:" section into VormexDir
  InstallStep registerApp;
  InstallStep makeIcon;
  InstallStep makeBackup;
  InstallStep convertDatabase;
};

// The setup program's nine rows: INSTALL runs rows 1-7, PATCH the home,
// uninstaller and shortcut rows, UPDATE the backup and the conversion.
InstallSequence MakeInstallSequence(const InstallSteps& steps);

}  // namespace qz
