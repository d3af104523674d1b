#include "tools/btrmake/BtrMake.h"

#include <cstring>

#include "wbtrv/FileLayout.h"
#include "wbtrv/FileReader.h"

namespace qz::btrmake {
namespace {

using namespace wbtrv::layout;

// File flag of a variable-length file whose records lose trailing blanks.
constexpr std::uint16_t kFileBlankTruncation = 0x02;

bool Refuse(std::string& problem, std::string text) {
  problem = std::move(text);
  return false;
}

// The Stat reply the made file gives must be the description: checked by
// reading the file back as the engine does.
bool CheckMadeFile(const TableDescription& description, const std::vector<std::uint8_t>& file, std::string& problem) {
  wbtrv::MemoryFile input(file);
  wbtrv::FileFacts facts;
  if (std::uint16_t status = wbtrv::ReadFileFacts(input, facts)) {
    return Refuse(problem, "the made file is not readable (status " + std::to_string(status) + ")");
  }
  std::vector<std::uint8_t> expected(description.block, description.block + TableDescription::kBlockSize);
  expected[5] = 0;
  expected[12] = 0;
  std::vector<std::uint8_t> reply(TableDescription::kBlockSize, 0);
  wbtrv::CopyStatReply(facts, 0, reply.data(), reply.size());
  if (reply != expected) return Refuse(problem, "the made file's Stat reply differs from the description");
  std::uint8_t version = description.block[5];
  std::uint8_t reserved = description.block[12];
  if ((version != 0 && facts.version != version) || facts.reservedDuplicatePointers != reserved) {
    return Refuse(problem, "the made file's version or duplicate pointers differ from the description");
  }
  return true;
}

}  // namespace

bool MakeVersion5File(const TableDescription& description, std::vector<std::uint8_t>& file, std::string& problem) {
  const std::uint8_t* spec = description.block;
  std::uint32_t recordLength = Get(spec + 0, 2);
  std::uint32_t pageSize = Get(spec + 2, 2);
  std::uint32_t keys = spec[4];
  std::uint32_t version = spec[5];
  std::uint32_t records = Get(spec + 6, 4);
  std::uint32_t fileFlags = Get(spec + 10, 2);
  std::uint32_t reserved = spec[12];

  if (pageSize < 512 || pageSize > 4096 || pageSize % 512 != 0) {
    return Refuse(problem, "page size " + std::to_string(pageSize) + " is not a multiple of 512 from 512 to 4096");
  }
  std::uint32_t versionWord;
  if (version == 0) versionWord = 0x0500;
  else if (version >= 0x30 && version <= 0x5F) versionWord = version << 4;
  else return Refuse(problem, "file version " + std::to_string(version) + " is not one of the version 5 layout (0, or 48 to 95)");
  if (spec[13] != 0 || Get(spec + 14, 2) != 0) return Refuse(problem, "a new file has no unused pages");

  // The segments each key takes, as the engine counts them.
  std::size_t segments = 0;
  std::uint32_t duplicateKeys = 0;
  const std::size_t maxSegments = std::min<std::size_t>(TableDescription::kMaxKeySegments, (pageSize - kFcrSegments5) / kSegmentSize);
  for (std::uint32_t key = 0; key < keys; ++key) {
    bool first = true;
    for (;;) {
      if (segments == maxSegments) {
        return Refuse(problem, "the keys take more than the " + std::to_string(maxSegments) +
                                   " segments a page of " + std::to_string(pageSize) + " bytes holds");
      }
      const std::uint8_t* key16 = spec + TableDescription::kFileSpecSize + segments * TableDescription::kKeySpecSize;
      std::uint32_t flags = Get(key16 + 4, 2);
      if (first && (flags & wbtrv::kKeyDuplicates)) ++duplicateKeys;
      first = false;
      ++segments;
      if (!(flags & wbtrv::kKeySegmented)) break;
    }
  }
  const std::uint8_t* rest = spec + TableDescription::kFileSpecSize + segments * TableDescription::kKeySpecSize;
  const std::uint8_t* end = spec + TableDescription::kBlockSize;
  for (const std::uint8_t* at = rest; at < end; ++at) {
    if (*at != 0) return Refuse(problem, "there are more \"Idx=\" lines than the keys take");
  }

  std::uint32_t physical = recordLength + ((fileFlags & wbtrv::kFileVariableLength) ? 4 : 0) + 8 * (duplicateKeys + reserved);
  if (physical > 0xFFFF) return Refuse(problem, "the record with its pointers is longer than 65535 bytes");

  file.assign(pageSize, 0);
  std::uint8_t* fcr = file.data();
  Put16(fcr + kFcrVersion5, versionWord);
  Put16(fcr + kFcrPageSize, pageSize);
  std::memset(fcr + kFcrFreePages, 0xFF, 8);  // no free pages
  Put16(fcr + kFcrKeys, keys);
  Put16(fcr + kFcrRecordLength, recordLength);
  Put16(fcr + kFcrPhysicalLength, physical);
  PutSwapped32(fcr + kFcrRecords, records);
  Put16(fcr + kFcrPages, 1);
  if (fileFlags & wbtrv::kFileVariableLength) {
    fcr[kFcrVariableMark] = (fileFlags & kFileBlankTruncation) ? kVariableTruncated : kVariableRecords;
  }
  Put16(fcr + kFcrFileFlags, fileFlags);

  for (std::size_t i = 0; i < segments; ++i) {
    const std::uint8_t* key16 = spec + TableDescription::kFileSpecSize + i * TableDescription::kKeySpecSize;
    std::uint32_t position = Get(key16 + 0, 2);
    std::uint32_t length = Get(key16 + 2, 2);
    std::uint32_t flags = Get(key16 + 4, 2);
    std::string which = "key segment " + std::to_string(i);
    if (position == 0 || length == 0 || position + length - 1 > recordLength) {
      return Refuse(problem, which + " does not lie within the record");
    }
    if (key16[12] != 0 || key16[13] != 0 || key16[14] != 0) {
      return Refuse(problem, which + " has a manually assigned key number, which the version 5 layout lacks");
    }
    if ((flags & wbtrv::kKeyAlternateSequence) || key16[15] != 0) {
      return Refuse(problem, which + " uses an alternate collating sequence, which a description does not give");
    }
    std::uint8_t* segment = fcr + kFcrSegments5 + i * kSegmentSize;
    std::memset(segment, 0xFF, 4);  // no index page: the file holds no records
    PutSwapped32(segment + kSegUniqueValues, Get(key16 + 6, 4));
    Put16(segment + kSegFlags, flags);
    Put16(segment + kSegPosition, position - 1);
    Put16(segment + kSegLength, length);
    segment[kSegExtendedType] = key16[10];
    segment[kSegNullValue] = key16[11];
  }
  return CheckMadeFile(description, file, problem);
}

}  // namespace qz::btrmake
