// BTRCALL in the native build: the engine over host paths, one per process
// as the DLL is.

#include "wbtrv/Btrcall.h"
#include "wbtrv/Engine.h"
#include "wbtrv/HostFiles.h"

extern "C" std::int16_t BTRCALL(std::uint16_t operation, void* positionBlock, void* dataBuffer,
                                std::uint32_t* dataLength, void* keyBuffer, std::uint8_t keyLength,
                                std::int8_t keyNumber) {
  static qz::wbtrv::HostFileOpener opener;
  static qz::wbtrv::Engine engine(opener);
  return static_cast<std::int16_t>(
      engine.Call(operation, positionBlock, dataBuffer, dataLength, keyBuffer, keyLength, keyNumber));
}
