#pragma once
// The record manager's single entry point, as wbtrv32.dll exports it (by
// name and as ordinal 1; stdcall, seven arguments: _BTRCALL@28) and as the
// native library offers it. The data length is 32 bits, as on Win32.

#include <cstdint>

#if defined(_WIN32)
#define QZ_BTRCALL_CONVENTION __stdcall
#else
#define QZ_BTRCALL_CONVENTION
#endif

extern "C" std::int16_t QZ_BTRCALL_CONVENTION BTRCALL(std::uint16_t operation, void* positionBlock, void* dataBuffer,
                                                     std::uint32_t* dataLength, void* keyBuffer,
                                                     std::uint8_t keyLength, std::int8_t keyNumber);
