#pragma once
// The description of one of the application's Btrieve tables, as DBSTAT.QRT
// gives it, and the changes DBCHANGE.QRT lists for it.

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "text/Text.h"

namespace qz {

// A table's name: the file name of its DBSTAT.QRT section.
using TableName = FixedText<16>;

// Where a field is appended rather than inserted.
inline constexpr std::uint32_t kAppendPosition = 99999;

struct TableChange {
  std::uint32_t position = 0;  // field lines
  std::uint32_t length = 0;
  FixedText<260> recordText;   // record lines
};

struct TableDescription {
  // Laid out as the reply of the Stat request: the file specification, 16
  // bytes per key segment, room for the collating sequences.
  static constexpr std::size_t kBlockSize = 33455;
  static constexpr std::size_t kFileSpecSize = 16;
  static constexpr std::size_t kKeySpecSize = 16;
  static constexpr std::size_t kMaxKeySegments = 119;
  static constexpr std::size_t kMaxChanges = 32;

  // Fields a section does not give stay zero.
  std::uint8_t block[kBlockSize] = {};
  std::int32_t changeCount = 0;
  TableChange changes[kMaxChanges];
};

// Names compare exactly, with regard to case.
using TableMap = std::map<std::string, std::unique_ptr<TableDescription>, std::less<>>;

}  // namespace qz
