#pragma once
// The stand-in record manager: answers Open, Stat and Close, as BTRCALL
// does, over files it reaches through a FileOpener. A file's description is
// read when it is opened and kept in the engine's own table; the caller's
// 128-byte position block holds only a mark, the engine's id and the
// handle (table slot and generation), so a block that names no open file is
// told apart and answered with status 3.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "wbtrv/EngineFile.h"
#include "wbtrv/FileReader.h"

namespace qz::wbtrv {

inline constexpr std::size_t kPositionBlockSize = 128;
inline constexpr std::size_t kMaxOpenFiles = 256;

class Engine {
 public:
  explicit Engine(FileOpener& opener);
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  std::uint16_t Call(std::uint16_t operation, void* positionBlock, void* dataBuffer, std::uint32_t* dataLength,
                     void* keyBuffer, std::uint8_t keyLength, std::int8_t keyNumber);

  // Files open now (for tests).
  std::size_t OpenFiles() const;

 private:
  struct Slot {
    std::uint32_t generation = 1;
    std::unique_ptr<EngineFile> file;  // none while the slot is free
    FileFacts facts;
  };

  std::uint16_t Open(std::uint8_t* block, const void* keyBuffer, std::int8_t mode);
  std::uint16_t Stat(std::uint8_t* block, void* dataBuffer, std::uint32_t* dataLength, std::int8_t keyNumber);
  std::uint16_t Close(std::uint8_t* block);
  // The slot that the block names, or null.
  Slot* Find(const std::uint8_t* block);
  void Release(Slot& slot);

  FileOpener& opener_;
  const std::uint32_t id_;
  mutable std::mutex mutex_;
  std::vector<Slot> slots_;
};

}  // namespace qz::wbtrv
