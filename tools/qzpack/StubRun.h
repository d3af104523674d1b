#pragma once
// What the setup stub does, apart from how Windows does it: check the file
// it was started from, make sure the files fit, extract them into a new
// folder of their own, run the setup program there, remove the folder, and
// return the setup program's exit status, or a status of its own when it
// could not get that far.

#include <cstdint>
#include <memory>

#include "tools/qzpack/Extract.h"

namespace qz::pack {

// The stub's exit statuses, apart from the setup program's (0 finished, 1
// failed, 2 stopped before any page, 3 left, 64 bad usage, 70 the machine
// in use).
inline constexpr int kExitDamaged = 10;        // damaged, cut short or extended: nothing was extracted
inline constexpr int kExitNoRoom = 11;         // too little free space to extract: nothing was extracted
inline constexpr int kExitCannotExtract = 12;  // the folder, a file or the setup program's start failed

// A file of this size or more is checked and extracted under a progress bar.
inline constexpr std::uint64_t kProgressThreshold = 8u << 20;

enum class StubMessage {
  kDamaged,       // the file is damaged and should be downloaded again
  kNoRoom,        // not enough free space
  kCannotExtract, // with the system's error
  kCannotStart,   // the setup program did not start, with the system's error
};

enum class ProgressPhase { kChecking, kExtracting };

// The machine as the stub needs it; Win32 in the stub, a fake in the tests.
class StubSystem : public ExtractTarget {
 public:
  // The file the stub runs from, open so that nobody writes to it.
  virtual ByteSource& Self() = 0;
  // Null when the system has no SHA-256 to give.
  virtual std::unique_ptr<Sha256> NewSha256() = 0;
  // Free bytes where the extraction folder is to be made; 0 or a Win32 error.
  virtual std::uint32_t FreeSpace(std::uint64_t& bytes) = 0;
  // Makes the extraction folder: new, unpredictably named, writable by the
  // user, the administrators and the system alone.
  virtual std::uint32_t MakeFolder() = 0;
  // Runs the extracted setup program in the folder with the stub's
  // arguments and waits for its exit status.
  virtual std::uint32_t RunSetup(int& status) = 0;
  // Removes the folder and everything in it, links as links.
  virtual void RemoveFolder() = 0;
  virtual void ShowMessage(StubMessage message, std::uint32_t error) = 0;
  // The progress bar, with what is being done: shown at the first call,
  // hidden by HideProgress.
  virtual void ShowProgress(ProgressPhase phase, std::uint64_t done, std::uint64_t total) = 0;
  virtual void HideProgress() = 0;
};

struct StubOptions {
  bool silent = false;  // /S: no box, no window, only the exit status
};

// The room the files take once extracted: their bytes, and a cluster's
// slack for every entry.
std::uint64_t RoomNeeded(const PackedFile& packed);

int RunStub(StubSystem& system, const StubOptions& options);

}  // namespace qz::pack
