#pragma once
// Where a Btrieve file of versions 5 and 6 keeps its fields: the file
// control record (FCR) on the first pages, the key segments, the page
// allocation tables and the collating sequences. The reader and the file
// maker both work from these, so what one writes the other reads. All
// numbers are little-endian; some 32-bit counts keep their high word first.

#include <cstddef>
#include <cstdint>

namespace qz::wbtrv::layout {

inline constexpr std::size_t kFcrUsageCount = 0x04;
inline constexpr std::size_t kFcrVersion5 = 0x06;
inline constexpr std::size_t kFcrPageSize = 0x08;
inline constexpr std::size_t kFcrFreePages = 0x0C;  // 8 bytes, all 0xFF when there are none
inline constexpr std::size_t kFcrKeys = 0x14;
inline constexpr std::size_t kFcrRecordLength = 0x16;
inline constexpr std::size_t kFcrPhysicalLength = 0x18;
inline constexpr std::size_t kFcrRecords = 0x1A;  // high word first
inline constexpr std::size_t kFcrPages = 0x28;
inline constexpr std::size_t kFcrVariableMark = 0x38;
inline constexpr std::size_t kFcrVersion6 = 0x4A;
inline constexpr std::size_t kFcrKeyCount6 = 0x76;
inline constexpr std::size_t kFcrKeyTable6 = 0x78;
inline constexpr std::size_t kFcrFileFlags = 0x106;
inline constexpr std::size_t kFcrSegments5 = 0x110;

inline constexpr std::uint8_t kVariableRecords = 0xFF;
inline constexpr std::uint8_t kVariableTruncated = 0xFD;

inline constexpr std::size_t kSegmentSize = 30;
inline constexpr std::size_t kSegUniqueValues = 0x04;  // high word first
inline constexpr std::size_t kSegFlags = 0x08;
inline constexpr std::size_t kSegPosition = 0x14;
inline constexpr std::size_t kSegLength = 0x16;
inline constexpr std::size_t kSegSequencePage = 0x1A;
inline constexpr std::size_t kSegExtendedType = 0x1C;
inline constexpr std::size_t kSegNullValue = 0x1D;

inline constexpr std::size_t kPatFirstEntry = 8;
inline constexpr std::size_t kPatEntrySize = 4;
inline constexpr std::uint8_t kPageTypeSequence = 'A';
inline constexpr std::size_t kSequenceOffset = 6;  // in the page that holds it
inline constexpr std::uint8_t kSequenceMark = 0xAC;

inline std::uint32_t Get(const std::uint8_t* at, std::size_t width) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < width; ++i) value |= static_cast<std::uint32_t>(at[i]) << (8 * i);
  return value;
}

inline void Put16(std::uint8_t* at, std::uint32_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

inline void Put32(std::uint8_t* at, std::uint32_t value) {
  Put16(at, value);
  Put16(at + 2, value >> 16);
}

inline void PutSwapped32(std::uint8_t* at, std::uint32_t value) {
  Put16(at, value >> 16);
  Put16(at + 2, value);
}

}  // namespace qz::wbtrv::layout
