#include "platform/sim/btrieve/SimBtrieve.h"

#include <algorithm>

#include "platform/sim/SimMachine.h"
#include "wbtrv/Engine.h"
#include "wbtrv/Status.h"

namespace qz::platform::sim {
namespace {

// The machine's files read forwards only; reading at an earlier offset
// starts again from the beginning. The engine reads a few pages near the
// start of a file, so this costs little.
class MachineFile : public wbtrv::EngineFile {
 public:
  explicit MachineFile(std::unique_ptr<InputFile> file) : file_(std::move(file)) {}

  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size, std::size_t& got) override {
    got = 0;
    if (offset < position_) {
      if (!file_->Rewind()) return false;
      position_ = 0;
    }
    char skipped[4096];
    while (position_ < offset) {
      std::size_t n = 0;
      if (!file_->Read(skipped, static_cast<std::size_t>(std::min<std::uint64_t>(sizeof skipped, offset - position_)), n)) {
        return false;
      }
      if (n == 0) return true;
      position_ += n;
    }
    auto* out = static_cast<char*>(buffer);
    while (got < size) {
      std::size_t n = 0;
      if (!file_->Read(out + got, size - got, n)) return false;
      if (n == 0) break;
      got += n;
      position_ += n;
    }
    return true;
  }

 private:
  std::unique_ptr<InputFile> file_;
  std::uint64_t position_ = 0;
};

}  // namespace

class SimBtrieve::Opener : public wbtrv::FileOpener {
 public:
  explicit Opener(FileSystem& files) : files_(files) {}

  std::uint16_t Open(const char* path, bool exclusive, std::unique_ptr<wbtrv::EngineFile>& file) override {
    ErrorCode error = kOk;
    auto input = files_.OpenForReading(path, exclusive ? ShareMode{false, false} : kShareReadWrite, error);
    if (!input) return wbtrv::StatusFromWin32Error(error);
    file = std::make_unique<MachineFile>(std::move(input));
    return wbtrv::kStatusOk;
  }

 private:
  FileSystem& files_;
};

SimBtrieve::SimBtrieve(SimMachine& machine)
    : opener_(std::make_unique<Opener>(machine.files())), engine_(std::make_unique<wbtrv::Engine>(*opener_)) {}

SimBtrieve::~SimBtrieve() = default;

std::uint16_t SimBtrieve::Call(std::uint16_t operation, void* positionBlock, void* dataBuffer,
                               std::uint32_t* dataLength, void* keyBuffer, std::uint8_t keyLength,
                               std::int8_t keyNumber) {
  return engine_->Call(operation, positionBlock, dataBuffer, dataLength, keyBuffer, keyLength, keyNumber);
}

std::size_t SimBtrieve::OpenFiles() const { return engine_->OpenFiles(); }

}  // namespace qz::platform::sim
