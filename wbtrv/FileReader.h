#pragma once
// Reads what the Stat request reports out of a Btrieve file of version 5 or
// 6: the file control record, the key segments and the alternate collating
// sequences. Nothing in the file is trusted: every offset and count is
// checked against the page and the file, and a file that does not hold up
// gives status 30 (2 when reading fails).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "wbtrv/EngineFile.h"

namespace qz::wbtrv {

inline constexpr std::size_t kFileSpecSize = 16;
inline constexpr std::size_t kKeySpecSize = 16;
inline constexpr std::size_t kCollatingSequenceSize = 265;
inline constexpr std::size_t kMaxKeySegments = 119;
inline constexpr std::size_t kMaxCollatingSequences = 119;
inline constexpr std::size_t kMaxStatReply =
    kFileSpecSize + kMaxKeySegments * kKeySpecSize + kMaxCollatingSequences * kCollatingSequenceSize;
static_assert(kMaxStatReply == 33455);

inline constexpr std::uint16_t kMinPageSize = 512;
inline constexpr std::uint16_t kMaxPageSize = 4096;

// Key flags that change how the file is read.
inline constexpr std::uint16_t kKeyDuplicates = 0x0001;
inline constexpr std::uint16_t kKeySegmented = 0x0010;
inline constexpr std::uint16_t kKeyAlternateSequence = 0x0020;
inline constexpr std::uint16_t kKeyManualNumber = 0x0200;
inline constexpr std::uint16_t kFileVariableLength = 0x0001;

struct FileFacts {
  // The Stat reply as answered for every key number but -1: the file
  // specification (version and duplicate pointers zero, as they are
  // reserved then), the key specifications and the collating sequences.
  std::vector<std::uint8_t> reply;
  // Filled in at offsets 5 and 12 when the Stat request's key number is -1.
  std::uint8_t version = 0;
  std::uint8_t reservedDuplicatePointers = 0;
  // Read from the file, for the engine's own checks and for tests.
  std::uint16_t pageSize = 0;
  std::uint16_t physicalRecordLength = 0;
};

// 0, 30 or 2.
std::uint16_t ReadFileFacts(EngineFile& file, FileFacts& facts);

// The Stat reply for a request with this key number, cut to `capacity`
// bytes; returns the number of bytes written.
std::size_t CopyStatReply(const FileFacts& facts, std::int8_t keyNumber, std::uint8_t* out, std::size_t capacity);

}  // namespace qz::wbtrv
