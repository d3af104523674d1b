#include "platform/win32/btrieve/Win32Btrieve.h"

#include "wbtrv/Btrcall.h"

namespace qz::platform::win32 {

std::uint16_t Win32Btrieve::Call(std::uint16_t operation, void* positionBlock, void* dataBuffer,
                                 std::uint32_t* dataLength, void* keyBuffer, std::uint8_t keyLength,
                                 std::int8_t keyNumber) {
  // Only the low 16 bits of the result are the status: an engine need not
  // clear the rest of EAX.
  return static_cast<std::uint16_t>(
      BTRCALL(operation, positionBlock, dataBuffer, dataLength, keyBuffer, keyLength, keyNumber));
}

}  // namespace qz::platform::win32
