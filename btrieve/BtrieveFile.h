#pragma once
// One Btrieve file as the setup program reaches it: its position block, key
// buffer, key number, the status of the last request and a Stat buffer. Each
// request is one call of the engine's BTRCALL; nothing here interprets a
// status.

#include <cstddef>
#include <cstdint>

#include "platform/Btrieve.h"

namespace qz {

class BtrieveFile {
 public:
  static constexpr std::size_t kStatBufferSize = 33455;
  static constexpr std::size_t kKeyBufferSize = 256;
  static constexpr std::size_t kPositionBlockSize = 128;
  static constexpr std::uint8_t kKeyLength = 255;
  static constexpr std::uint16_t kOpen = 0;
  static constexpr std::uint16_t kClose = 1;
  static constexpr std::uint16_t kStat = 15;

  explicit BtrieveFile(platform::BtrieveEngine& engine) : engine_(engine) {}
  BtrieveFile(const BtrieveFile&) = delete;
  BtrieveFile& operator=(const BtrieveFile&) = delete;

  // Opens the file in the normal mode (the path is passed as it is, not
  // copied) and, when that succeeded, asks for its Stat reply. Returns the
  // Open status, or the Stat status after a successful Open.
  std::uint16_t Open(const char* path);
  // Fills the Stat buffer with the engine's Stat reply.
  std::uint16_t Stat();
  // Issues `operation` with the record buffer; Call(kClose) closes the file.
  std::uint16_t Call(std::uint16_t operation);

  // The caller-owned data buffer of Call().
  void SetRecordBuffer(void* buffer, std::uint32_t length) {
    recordBuffer_ = buffer;
    recordLength_ = length;
  }

  // True from a successful Open request until a successful Close: the
  // engine then holds the file open for this object, even when the Stat
  // request inside Open failed.
  bool IsOpen() const { return open_; }

  std::uint16_t status() const { return status_; }
  const std::uint8_t* statBuffer() const { return statBuffer_; }
  std::uint32_t dataLength() const { return dataLength_; }
  std::int8_t keyNumber() const { return keyNumber_; }

 private:
  std::uint16_t Request(std::uint16_t operation, void* data, void* key);

  platform::BtrieveEngine& engine_;
  std::uint8_t statBuffer_[kStatBufferSize] = {};
  std::uint16_t status_ = 0;
  void* recordBuffer_ = nullptr;
  std::uint32_t recordLength_ = 0;
  std::uint8_t keyBuffer_[kKeyBufferSize] = {};
  std::int8_t keyNumber_ = 0;
  std::uint8_t positionBlock_[kPositionBlockSize] = {};
  std::uint32_t dataLength_ = 0;
  bool open_ = false;
};

}  // namespace qz
