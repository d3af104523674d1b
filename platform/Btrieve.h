#pragma once
// The Btrieve record manager's single entry point BTRCALL.

#include <cstdint>

namespace qz::platform {

class BtrieveEngine {
 public:
  virtual ~BtrieveEngine() = default;
  // One request: operation, the 128-byte position block, the data buffer
  // and its length (in and out), the key buffer, its length and the key
  // number. Returns the status (0 for success).
  virtual std::uint16_t Call(std::uint16_t operation, void* positionBlock, void* dataBuffer,
                             std::uint32_t* dataLength, void* keyBuffer, std::uint8_t keyLength,
                             std::int8_t keyNumber) = 0;
};

}  // namespace qz::platform
