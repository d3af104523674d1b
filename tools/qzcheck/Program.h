#pragma once
// The qzcheck program, common to both builds; each build's main gives it
// the machine the medium is read on.
//
//   qzcheck [--json] [--werror] [--disable CHECK[,CHECK...]]... [MEDIUM_DIR]
//   qzcheck --plan [--machine DIR] [--dir PATH] [MEDIUM_DIR]
//   qzcheck --list-checks
//
// Exit status: 0 clean, 1 warnings only, 2 errors (with --plan: 0 the
// installation would finish, 1 it would not); 64 bad usage, 70 the run
// could not go on.

#include <optional>
#include <string>
#include <vector>

#include "platform/Btrieve.h"
#include "platform/FileSystem.h"

namespace qz::check {

inline constexpr int kExitUsage = 64;
inline constexpr int kExitTrouble = 70;

class ProgramHost {
 public:
  virtual ~ProgramHost() = default;
  // Makes `medium` (UTF-8; empty for the current directory) the working
  // directory the checks read; false with the reason when it cannot be.
  virtual bool OpenMedium(const std::string& medium, std::string& problem) = 0;
  virtual platform::FileSystem& files() = 0;
  virtual platform::BtrieveEngine& btrieve() = 0;
  // The dry run: its text (UTF-8) into `out`, the exit status returned.
  // `machine` and `dir` are UTF-8.
  virtual int Plan(const std::string& medium, const std::optional<std::string>& machine,
                   const std::optional<std::string>& dir, std::string& out, std::string& problem) = 0;
};

// Runs the program with its arguments (UTF-8, without the program's name);
// what it prints goes to `out` and `err` (UTF-8).
int RunProgram(const std::vector<std::string>& args, ProgramHost& host, std::string& out, std::string& err);

}  // namespace qz::check
