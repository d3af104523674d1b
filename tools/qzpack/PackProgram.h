#pragma once
// The qzpack program, common to both builds; each build's main gives it
// its machine.
//
//   qzpack MEDIUM_DIR -o FILE.exe --programs DIR [--force]
//   qzpack --verify FILE.exe
//
// It checks the medium with the medium checker first and refuses one with
// errors (--force packs it all the same). --programs is the Windows build's
// bin folder, with qzstub.exe and QZSetup.exe; qzpack.exe takes its own
// folder when it is not given.
//
// Exit status: 0 packed (or, with --verify, intact), 1 --verify found the
// file damaged, 2 the medium has errors (nothing written), 64 bad usage,
// 70 the file could not be packed.

#include <memory>
#include <string>
#include <vector>

#include "tools/qzcheck/Program.h"
#include "tools/qzpack/Packer.h"

namespace qz::pack {

inline constexpr int kPackExitDamaged = 1;
inline constexpr int kPackExitMediumErrors = 2;

// The packed file while it is written: under a name of its own beside the
// final one, which it takes at Commit; gone if never committed.
class OutputFile : public OutputTarget {
 public:
  virtual bool Commit() = 0;
};

class PackProgramHost {
 public:
  virtual ~PackProgramHost() = default;
  // The checker's view of the medium (tools/qzcheck).
  virtual check::ProgramHost& checker() = 0;
  // Paths are UTF-8. Made absolute before the checker changes directory.
  virtual std::string Absolute(const std::string& path) = 0;
  virtual std::unique_ptr<PackSource> OpenSource(const std::string& medium, const std::string& programs,
                                                 std::string& problem) = 0;
  virtual std::unique_ptr<OutputFile> CreateOutput(const std::string& path, std::string& problem) = 0;
  virtual std::unique_ptr<ByteSource> OpenFile(const std::string& path) = 0;
  virtual std::unique_ptr<Sha256> NewSha256() = 0;
  // The programs' folder when --programs is not given; empty when it must be.
  virtual std::string DefaultPrograms() = 0;
};

// Runs the program with its arguments (UTF-8, without the program's name);
// what it prints goes to `out` and `err` (UTF-8).
int RunPackProgram(const std::vector<std::string>& args, PackProgramHost& host, std::string& out, std::string& err);

}  // namespace qz::pack
