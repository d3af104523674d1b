#include "wbtrv/FileReader.h"

#include <algorithm>
#include <cstring>

#include "wbtrv/FileLayout.h"
#include "wbtrv/Status.h"

namespace qz::wbtrv {
namespace {

using namespace layout;

// Bytes of one page; every access is checked by the caller through Has().
class Bytes {
 public:
  explicit Bytes(const std::vector<std::uint8_t>& bytes) : data_(bytes.data()), size_(bytes.size()) {}
  bool Has(std::size_t offset, std::size_t count) const { return offset <= size_ && count <= size_ - offset; }
  std::uint8_t U8(std::size_t offset) const { return data_[offset]; }
  std::uint16_t U16(std::size_t offset) const {
    return static_cast<std::uint16_t>(data_[offset] | data_[offset + 1] << 8);
  }
  std::uint32_t U32(std::size_t offset) const {
    return static_cast<std::uint32_t>(U16(offset)) | static_cast<std::uint32_t>(U16(offset + 2)) << 16;
  }
  // The record manager keeps some 32-bit counts with the high word first.
  std::uint32_t Swapped32(std::size_t offset) const {
    return static_cast<std::uint32_t>(U16(offset)) << 16 | U16(offset + 2);
  }
  bool StartsWith(const char* text, std::size_t count) const {
    return Has(0, count) && std::memcmp(data_, text, count) == 0;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

// Reads exactly `size` bytes; a file that ends before gives 30.
std::uint16_t ReadExactly(EngineFile& file, std::uint64_t offset, std::size_t size, std::vector<std::uint8_t>& out) {
  out.resize(size);
  std::size_t got = 0;
  if (!file.ReadAt(offset, out.data(), size, got)) return kStatusIoError;
  return got == size ? kStatusOk : kStatusNotBtrieveFile;
}

struct Segment {
  std::size_t offset;  // in the file control record's page
  std::size_t key;
};

struct Sequence {
  std::uint32_t logicalPage;
  std::uint32_t physicalPage;
};

bool IsValidPageSize(std::uint32_t size) {
  return size >= kMinPageSize && size <= kMaxPageSize && size % kMinPageSize == 0;
}

// The page allocation table of a version 6 file: two copies, on pages 2 and
// 3, of which the one used more often is current (as with the file control
// record). Its entries, from the first logical page on, name each page's
// type and physical page; the collating sequences are the pages of type 'A'.
std::uint16_t FindSequencePages(EngineFile& file, std::uint16_t pageSize, std::vector<Sequence>& sequences) {
  std::vector<std::uint8_t> pages[2];
  const std::vector<std::uint8_t>* current = nullptr;
  for (int i = 0; i < 2; ++i) {
    if (std::uint16_t status = ReadExactly(file, std::uint64_t{pageSize} * (2 + i), pageSize, pages[i])) return status;
    Bytes page(pages[i]);
    if (!page.StartsWith("PP", 2)) continue;
    if (!current || page.U32(kFcrUsageCount) > Bytes(*current).U32(kFcrUsageCount)) current = &pages[i];
  }
  if (!current) return kStatusNotBtrieveFile;
  Bytes table(*current);
  for (std::size_t entry = kPatFirstEntry, logical = 1; table.Has(entry, kPatEntrySize);
       entry += kPatEntrySize, ++logical) {
    if (table.U8(entry + 1) != kPageTypeSequence) continue;
    if (sequences.size() == kMaxCollatingSequences) return kStatusNotBtrieveFile;
    std::uint32_t physical = static_cast<std::uint32_t>(table.U8(entry)) << 16 | table.U16(entry + 2);
    sequences.push_back({static_cast<std::uint32_t>(logical), physical});
  }
  return kStatusOk;
}

}  // namespace

bool MemoryFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t size, std::size_t& got) {
  got = 0;
  if (offset >= size_) return true;
  got = std::min<std::uint64_t>(size, size_ - offset);
  std::memcpy(buffer, bytes_ + offset, got);
  return true;
}

std::uint16_t ReadFileFacts(EngineFile& file, FileFacts& facts) {
  facts = FileFacts();
  std::vector<std::uint8_t> first;
  if (std::uint16_t status = ReadExactly(file, 0, kMinPageSize, first)) return status;
  Bytes head(first);
  bool version6;
  if (head.StartsWith("FC\0\0", 4)) version6 = true;
  else if (head.U32(0) == 0) version6 = false;
  else return kStatusNotBtrieveFile;
  std::uint16_t pageSize = head.U16(kFcrPageSize);
  if (!IsValidPageSize(pageSize)) return kStatusNotBtrieveFile;

  // The file control record; version 6 keeps a second copy on page 1 and
  // the copy used more often is the current one.
  std::vector<std::uint8_t> pages[2];
  if (std::uint16_t status = ReadExactly(file, 0, pageSize, pages[0])) return status;
  const std::vector<std::uint8_t>* current = &pages[0];
  std::uint16_t versionWord;
  if (version6) {
    if (std::uint16_t status = ReadExactly(file, pageSize, pageSize, pages[1])) return status;
    Bytes copy(pages[1]);
    if (!copy.StartsWith("FC\0\0", 4)) return kStatusNotBtrieveFile;
    if (copy.U32(kFcrUsageCount) > Bytes(pages[0]).U32(kFcrUsageCount)) current = &pages[1];
    Bytes fcr(*current);
    if (fcr.U16(kFcrPageSize) != pageSize) return kStatusNotBtrieveFile;
    versionWord = fcr.U16(kFcrVersion6);
    if (versionWord >> 8 != 6) return kStatusNotBtrieveFile;
  } else {
    versionWord = head.U16(kFcrVersion5);
    if (versionWord >> 8 < 3 || versionWord >> 8 > 5) return kStatusNotBtrieveFile;
  }
  Bytes fcr(*current);

  std::uint16_t keys = fcr.U16(kFcrKeys);
  if (keys > kMaxKeySegments) return kStatusNotBtrieveFile;
  if (version6 && fcr.U8(kFcrKeyCount6) != keys) return kStatusNotBtrieveFile;
  std::uint16_t recordLength = fcr.U16(kFcrRecordLength);
  std::uint16_t fileFlags = fcr.U16(kFcrFileFlags);

  // Version 5 keeps the segments one after the other; version 6 keeps a
  // table of each key's first segment, and a key's further segments follow
  // its first.
  std::vector<Segment> segments;
  std::size_t keyTable = fcr.U16(kFcrKeyTable6);
  if (version6 && !fcr.Has(keyTable, 2 * std::size_t{keys})) return kStatusNotBtrieveFile;
  std::size_t next = kFcrSegments5;
  for (std::size_t key = 0; key < keys; ++key) {
    std::size_t offset = version6 ? fcr.U16(keyTable + 2 * key) : next;
    for (;;) {
      if (!fcr.Has(offset, kSegmentSize) || segments.size() == kMaxKeySegments) return kStatusNotBtrieveFile;
      segments.push_back({offset, key});
      bool more = (fcr.U16(offset + kSegFlags) & kKeySegmented) != 0;
      offset += kSegmentSize;
      if (!more) break;
    }
    next = offset;
  }

  std::vector<Sequence> sequences;
  bool usesSequence = std::any_of(segments.begin(), segments.end(), [&](const Segment& s) {
    return (fcr.U16(s.offset + kSegFlags) & kKeyAlternateSequence) != 0;
  });
  if (usesSequence) {
    if (version6) {
      if (std::uint16_t status = FindSequencePages(file, pageSize, sequences)) return status;
    } else {
      // Version 5 has one collating sequence, on page 1.
      sequences.push_back({1, 1});
    }
  }

  facts.reply.assign(kFileSpecSize + segments.size() * kKeySpecSize + sequences.size() * kCollatingSequenceSize, 0);
  std::uint8_t* out = facts.reply.data();
  Put16(out + 0, recordLength);
  Put16(out + 2, pageSize);
  out[4] = static_cast<std::uint8_t>(keys);
  Put32(out + 6, fcr.Swapped32(kFcrRecords));
  Put16(out + 10, fileFlags);
  // The unused pages (offset 14) are the free-page list's length, which the
  // engine does not follow: it reports none.

  std::uint32_t duplicateKeys = 0;
  for (std::size_t i = 0; i < segments.size(); ++i) {
    const Segment& segment = segments[i];
    std::size_t at = segment.offset;
    std::uint16_t flags = fcr.U16(at + kSegFlags);
    std::uint32_t stored = fcr.U16(at + kSegPosition);
    // Version 5 counts positions from 0; version 6 counts a 2-byte prefix
    // of every record. Stat counts from 1 in the logical record.
    if (version6 && stored < 2) return kStatusNotBtrieveFile;
    std::uint32_t position = version6 ? stored - 1 : stored + 1;
    std::uint32_t length = fcr.U16(at + kSegLength);
    if (length == 0 || position + length - 1 > recordLength) return kStatusNotBtrieveFile;
    if ((i == 0 || segments[i - 1].key != segment.key) && (flags & kKeyDuplicates)) ++duplicateKeys;

    std::uint8_t* spec = out + kFileSpecSize + i * kKeySpecSize;
    Put16(spec + 0, position);
    Put16(spec + 2, length);
    Put16(spec + 4, flags);
    Put32(spec + 6, fcr.Swapped32(at + kSegUniqueValues));
    spec[10] = fcr.U8(at + kSegExtendedType);
    spec[11] = fcr.U8(at + kSegNullValue);
    if (version6 && (flags & kKeyManualNumber)) spec[14] = static_cast<std::uint8_t>(segment.key);
    if (flags & kKeyAlternateSequence) {
      // Version 6 names the sequence by its logical page; Stat numbers the
      // sequences in the order of their pages.
      std::size_t number = 0;
      if (version6) {
        std::uint32_t page = fcr.U16(at + kSegSequencePage);
        auto found = std::find_if(sequences.begin(), sequences.end(),
                                  [&](const Sequence& s) { return s.logicalPage == page; });
        if (found == sequences.end()) return kStatusNotBtrieveFile;
        number = static_cast<std::size_t>(found - sequences.begin());
      }
      spec[15] = static_cast<std::uint8_t>(number);
    }
  }

  std::uint8_t* sequenceOut = out + kFileSpecSize + segments.size() * kKeySpecSize;
  std::vector<std::uint8_t> block;
  for (const Sequence& sequence : sequences) {
    std::uint64_t at = std::uint64_t{sequence.physicalPage} * pageSize + kSequenceOffset;
    if (std::uint16_t status = ReadExactly(file, at, kCollatingSequenceSize, block)) return status;
    if (block[0] != kSequenceMark) return kStatusNotBtrieveFile;
    std::memcpy(sequenceOut, block.data(), kCollatingSequenceSize);
    sequenceOut += kCollatingSequenceSize;
  }

  // Stat's version byte holds the file's version word scaled to one byte
  // (0x0610 reads 0x61). The duplicate pointers still to reserve are what
  // the physical record length holds beyond the logical record, the record
  // prefix of version 6, the length word of variable-length records and one
  // pointer per key that allows duplicates; a record shorter than that
  // reserves none.
  facts.version = static_cast<std::uint8_t>(versionWord >> 4);
  std::uint16_t physical = fcr.U16(kFcrPhysicalLength);
  std::uint32_t minimum = recordLength + (version6 ? 2u : 0u) + ((fileFlags & kFileVariableLength) ? 4u : 0u) +
                          8u * duplicateKeys;
  facts.reservedDuplicatePointers =
      static_cast<std::uint8_t>(physical >= minimum ? std::min<std::uint32_t>(255, (physical - minimum) / 8) : 0);
  facts.pageSize = pageSize;
  facts.physicalRecordLength = physical;
  return kStatusOk;
}

std::size_t CopyStatReply(const FileFacts& facts, std::int8_t keyNumber, std::uint8_t* out, std::size_t capacity) {
  std::size_t count = std::min(capacity, facts.reply.size());
  if (count > 0) std::memcpy(out, facts.reply.data(), count);
  if (keyNumber == -1) {
    if (count > 5) out[5] = facts.version;
    if (count > 12) out[12] = facts.reservedDuplicatePointers;
  }
  return count;
}

}  // namespace qz::wbtrv
