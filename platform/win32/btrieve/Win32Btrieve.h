#pragma once
// The Btrieve engine on Windows: BTRCALL of wbtrv32.dll, imported by
// ordinal 1 and bound when the program is loaded, so the program starts
// only where an engine's wbtrv32.dll can be found. The path of an Open
// request goes to the engine in the system's ANSI code page, as every
// Btrieve caller passes it; one with a letter that code page lacks goes by
// its short (8.3) name, and without one fails as a file the engine cannot
// open (status 12 when it is not there, 11 otherwise).

#include "platform/Btrieve.h"

namespace qz::platform::win32 {

class Win32Btrieve : public BtrieveEngine {
 public:
  std::uint16_t Call(std::uint16_t operation, void* positionBlock, void* dataBuffer, std::uint32_t* dataLength,
                     void* keyBuffer, std::uint8_t keyLength, std::int8_t keyNumber) override;
};

}  // namespace qz::platform::win32
