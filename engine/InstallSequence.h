#pragma once
// The install sequences as one table: each row says which kinds of run
// perform it, the progress line added before its step, the step, and the
// failure message that stops the sequence when the step returns false.
// Progress lines and failure messages are composed in the run's shared
// MessageText; the first failure travels to the end of the sequence as an
// InstallFailure.

#include <cstdint>
#include <functional>
#include <initializer_list>
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

// The failure of a row: its message, composed in the shared MessageText.
class InstallFailure {
 public:
  explicit InstallFailure(const char* message) : message_(message) {}
  const char* message() const { return message_; }

 private:
  const char* message_;
};

// Runs the rows that belong to the run's InstallType, top to bottom;
// throws InstallFailure at the first step that returns false.
void RunSequence(const InstallSequence& rows, std::int32_t installType, StepContext& ctx);

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
