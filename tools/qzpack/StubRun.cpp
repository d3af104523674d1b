#include "tools/qzpack/StubRun.h"

namespace qz::pack {
namespace {

constexpr std::uint64_t kClusterSlack = 4096;

// Shows and moves the progress bar over the check and the extraction, for
// a large file and when the stub may show anything.
class Progress {
 public:
  Progress(StubSystem& system, bool shown) : system_(system), shown_(shown) {}
  ~Progress() { Hide(); }
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  void Hide() {
    if (shown_) system_.HideProgress();
    shown_ = false;
  }
  ProgressFunction Of(ProgressPhase phase, std::uint64_t total) {
    if (!shown_) return nullptr;
    return [this, phase, total](std::uint64_t done) { system_.ShowProgress(phase, done, total); };
  }

 private:
  StubSystem& system_;
  bool shown_;
};

struct Outcome {
  int status = 0;
  bool refused = false;
  StubMessage message = StubMessage::kDamaged;
  std::uint32_t error = 0;
};

Outcome Refusal(StubMessage message, std::uint32_t error, int status) { return Outcome{status, true, message, error}; }

// Extracts into a new folder, runs the setup program there and removes
// the folder, whatever the outcome, before any message is shown.
Outcome ExtractAndRun(StubSystem& system, const PackedFile& packed, Progress& progress) {
  if (std::uint32_t error = system.MakeFolder(); error != 0) {
    return Refusal(StubMessage::kCannotExtract, error, kExitCannotExtract);
  }
  struct FolderGuard {
    StubSystem& system;
    ~FolderGuard() { system.RemoveFolder(); }
  } folder{system};
  const ExtractResult extracted =
      ExtractPayload(system.Self(), packed, system, progress.Of(ProgressPhase::kExtracting, packed.extractedSize));
  progress.Hide();
  if (extracted.outcome == ExtractOutcome::kDamaged) return Refusal(StubMessage::kDamaged, 0, kExitDamaged);
  if (extracted.outcome == ExtractOutcome::kWriteFailed) {
    return Refusal(StubMessage::kCannotExtract, extracted.error, kExitCannotExtract);
  }
  Outcome ran;
  if (std::uint32_t error = system.RunSetup(ran.status); error != 0) {
    return Refusal(StubMessage::kCannotStart, error, kExitCannotExtract);
  }
  return ran;
}

// Everything before the folder is made: the file is whole and the files fit.
Outcome Check(StubSystem& system, PackedFile& packed, Progress& progress) {
  std::unique_ptr<Sha256> sha256 = system.NewSha256();
  if (!sha256) return Refusal(StubMessage::kCannotExtract, 0, kExitCannotExtract);
  ByteSource& self = system.Self();
  if (CheckPackedFile(self, *sha256, packed, progress.Of(ProgressPhase::kChecking, self.Size())) != PackFault::kNone) {
    return Refusal(StubMessage::kDamaged, 0, kExitDamaged);
  }
  // Free space that cannot be read is no reason to stop: the extraction
  // finds out.
  std::uint64_t freeBytes = 0;
  if (system.FreeSpace(freeBytes) == 0 && freeBytes < RoomNeeded(packed)) {
    return Refusal(StubMessage::kNoRoom, 0, kExitNoRoom);
  }
  return Outcome();
}

}  // namespace

std::uint64_t RoomNeeded(const PackedFile& packed) {
  std::uint64_t room = 0;
  for (const PayloadEntry& entry : packed.entries) {
    room += (entry.size + kClusterSlack - 1) / kClusterSlack * kClusterSlack + kClusterSlack;
  }
  return room;
}

int RunStub(StubSystem& system, const StubOptions& options) {
  Outcome outcome;
  {
    Progress progress(system, !options.silent && system.Self().Size() >= kProgressThreshold);
    PackedFile packed;
    outcome = Check(system, packed, progress);
    if (!outcome.refused) outcome = ExtractAndRun(system, packed, progress);
  }
  if (outcome.refused && !options.silent) system.ShowMessage(outcome.message, outcome.error);
  return outcome.status;
}

}  // namespace qz::pack
