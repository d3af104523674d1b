#pragma once
// The record manager's status codes and operation codes, as the genuine
// engine numbers them.

#include <cstdint>

namespace qz::wbtrv {

enum Operation : std::uint16_t {
  kOpOpen = 0,
  kOpClose = 1,
  kOpStat = 15,
};

enum Status : std::uint16_t {
  kStatusOk = 0,
  kStatusInvalidOperation = 1,
  kStatusIoError = 2,
  kStatusFileNotOpen = 3,
  kStatusInvalidFileName = 11,
  kStatusFileNotFound = 12,
  kStatusDataBufferTooShort = 22,
  kStatusNotBtrieveFile = 30,
  kStatusAccessDenied = 46,
  kStatusFileInUse = 85,
  kStatusFileTableFull = 86,
};

// Open modes, passed as the key number of an Open request.
enum OpenMode : std::int8_t {
  kModeNormal = 0,
  kModeAccelerated = -1,
  kModeReadOnly = -2,
  kModeVerify = -3,
  kModeExclusive = -4,
};

// The status an Open answers when the system refused to open the file with
// this Win32 error code.
std::uint16_t StatusFromWin32Error(std::uint32_t error);

}  // namespace qz::wbtrv
