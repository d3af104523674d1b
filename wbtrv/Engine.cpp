#include "wbtrv/Engine.h"

#include <atomic>
#include <cstring>
#include <string>

#include "wbtrv/Status.h"

namespace qz::wbtrv {
namespace {

// Layout of the position block: the mark, the engine's id, the slot, its
// generation, and a check word over the three.
constexpr char kMark[8] = {'Q', 'Z', 'B', 't', 'r', 'P', 'o', 's'};
constexpr std::size_t kAtId = 8;
constexpr std::size_t kAtSlot = 12;
constexpr std::size_t kAtGeneration = 16;
constexpr std::size_t kAtCheck = 20;

// The path of an Open request ends at a NUL or a blank, within 255 bytes.
constexpr std::size_t kMaxPathLength = 255;

std::uint32_t Get32(const std::uint8_t* at) {
  return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
         static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

void Put32(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t CheckWord(std::uint32_t id, std::uint32_t slot, std::uint32_t generation) {
  return ~(id * 2654435761u ^ slot * 40503u ^ generation * 2246822519u);
}

std::uint32_t NextEngineId() {
  static std::atomic<std::uint32_t> next{0x5142u};
  return next.fetch_add(0x10001u);
}

}  // namespace

std::uint16_t StatusFromWin32Error(std::uint32_t error) {
  switch (error) {
    case 2:    // file not found
    case 3:    // path not found
    case 15:   // invalid drive
    case 53:   // network path not found
    case 67:   // network name not found
      return kStatusFileNotFound;
    case 5:    // access denied
      return kStatusAccessDenied;
    case 32:   // sharing violation
    case 33:   // lock violation
      return kStatusFileInUse;
    case 123:  // invalid name
    case 161:  // bad path name
    case 206:  // name too long
      return kStatusInvalidFileName;
    default:
      return kStatusIoError;
  }
}

Engine::Engine(FileOpener& opener) : opener_(opener), id_(NextEngineId()) {}

std::size_t Engine::OpenFiles() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::size_t count = 0;
  for (const Slot& slot : slots_) count += slot.file != nullptr;
  return count;
}

std::uint16_t Engine::Call(std::uint16_t operation, void* positionBlock, void* dataBuffer, std::uint32_t* dataLength,
                           void* keyBuffer, std::uint8_t /*keyLength*/, std::int8_t keyNumber) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto* block = static_cast<std::uint8_t*>(positionBlock);
  switch (operation) {
    case kOpOpen:
      if (!block) return kStatusFileNotOpen;
      return Open(block, keyBuffer, keyNumber);
    case kOpStat:
      return Stat(block, dataBuffer, dataLength, keyNumber);
    case kOpClose:
      return Close(block);
    default:
      return kStatusInvalidOperation;
  }
}

Engine::Slot* Engine::Find(const std::uint8_t* block) {
  if (!block || std::memcmp(block, kMark, sizeof kMark) != 0) return nullptr;
  std::uint32_t id = Get32(block + kAtId);
  std::uint32_t slot = Get32(block + kAtSlot);
  std::uint32_t generation = Get32(block + kAtGeneration);
  if (id != id_ || Get32(block + kAtCheck) != CheckWord(id, slot, generation)) return nullptr;
  if (slot >= slots_.size() || !slots_[slot].file || slots_[slot].generation != generation) return nullptr;
  return &slots_[slot];
}

void Engine::Release(Slot& slot) {
  slot.file.reset();
  slot.facts = FileFacts();
  ++slot.generation;
}

std::uint16_t Engine::Open(std::uint8_t* block, const void* keyBuffer, std::int8_t mode) {
  if (!keyBuffer) return kStatusInvalidFileName;
  // Read the path byte by byte: the key buffer may be a short text, and
  // nothing after its end is touched. The end must come within 255 bytes.
  const auto* key = static_cast<const char*>(keyBuffer);
  std::size_t length = 0;
  while (length < kMaxPathLength && key[length] != '\0' && key[length] != ' ') ++length;
  if (length == 0 || length == kMaxPathLength) return kStatusInvalidFileName;
  std::string path(key, length);

  bool exclusive;
  switch (mode) {
    case kModeNormal:
    case kModeAccelerated:
    case kModeReadOnly:
    case kModeVerify:
      // The engine only ever reads: these modes differ in how writes would
      // be made, so they all open the file for reading, shared.
      exclusive = false;
      break;
    case kModeExclusive:
      exclusive = true;
      break;
    default:
      return kStatusInvalidOperation;
  }

  // A block reused without a Close would leave its file open for good: no
  // other block can name it. Close it first.
  if (Slot* earlier = Find(block)) Release(*earlier);

  std::unique_ptr<EngineFile> file;
  if (std::uint16_t status = opener_.Open(path.c_str(), exclusive, file)) return status;
  FileFacts facts;
  if (std::uint16_t status = ReadFileFacts(*file, facts)) return status;

  std::size_t index = 0;
  while (index < slots_.size() && slots_[index].file) ++index;
  if (index == slots_.size()) {
    if (slots_.size() == kMaxOpenFiles) return kStatusFileTableFull;
    slots_.emplace_back();
  }
  Slot& slot = slots_[index];
  slot.file = std::move(file);
  slot.facts = std::move(facts);

  std::memset(block, 0, kPositionBlockSize);
  std::memcpy(block, kMark, sizeof kMark);
  Put32(block + kAtId, id_);
  Put32(block + kAtSlot, static_cast<std::uint32_t>(index));
  Put32(block + kAtGeneration, slot.generation);
  Put32(block + kAtCheck, CheckWord(id_, static_cast<std::uint32_t>(index), slot.generation));
  return kStatusOk;
}

std::uint16_t Engine::Stat(std::uint8_t* block, void* dataBuffer, std::uint32_t* dataLength, std::int8_t keyNumber) {
  Slot* slot = Find(block);
  if (!slot) return kStatusFileNotOpen;
  if (!dataLength || !dataBuffer) return kStatusDataBufferTooShort;
  std::size_t needed = slot->facts.reply.size();
  std::size_t given = *dataLength;
  std::size_t written = CopyStatReply(slot->facts, keyNumber, static_cast<std::uint8_t*>(dataBuffer), given);
  *dataLength = static_cast<std::uint32_t>(written);
  return given < needed ? kStatusDataBufferTooShort : kStatusOk;
}

std::uint16_t Engine::Close(std::uint8_t* block) {
  Slot* slot = Find(block);
  if (!slot) return kStatusFileNotOpen;
  Release(*slot);
  std::memset(block, 0, sizeof kMark);
  return kStatusOk;
}

}  // namespace qz::wbtrv
