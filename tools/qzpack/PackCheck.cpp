#include "tools/qzpack/PackCheck.h"

#include <set>
#include <string>

#include "common/SafePaths.h"
#include "text/CodePage.h"

namespace qz::pack {
namespace {

constexpr std::size_t kReadChunk = 1 << 20;
// Far beyond any medium; a bound on what a damaged or crafted index makes
// the stub allocate.
constexpr std::uint32_t kMaxEntries = 1000000;
constexpr std::uint32_t kMaxIndexSize = 64u << 20;

PackFault CheckFileEnd(const PackedFile& packed, std::uint64_t fileSize) {
  const PackRecord& record = packed.record;
  const std::uint64_t payloadEnd = record.payloadOffset + record.payloadLength;
  const PeLayout& layout = packed.layout;
  if (layout.certificateSize == 0) {
    if (fileSize < payloadEnd) return PackFault::kTruncated;
    return fileSize > payloadEnd ? PackFault::kTrailingData : PackFault::kNone;
  }
  // Windows itself ignores what follows the certificate table; the stub
  // does not.
  if (layout.certificateOffset != payloadEnd) return PackFault::kLength;
  const std::uint64_t tableEnd = static_cast<std::uint64_t>(layout.certificateOffset) + layout.certificateSize;
  if (fileSize < tableEnd) return PackFault::kTruncated;
  return fileSize > tableEnd ? PackFault::kTrailingData : PackFault::kNone;
}

PackFault CheckHash(ByteSource& file, Sha256& sha256, const PackRecord& record, const ProgressFunction& progress) {
  std::vector<unsigned char> buffer(kReadChunk);
  std::uint64_t done = 0;
  while (done < record.payloadLength) {
    const std::size_t size = static_cast<std::size_t>(std::min<std::uint64_t>(kReadChunk, record.payloadLength - done));
    if (!file.ReadAt(record.payloadOffset + done, buffer.data(), size) || !sha256.Update(buffer.data(), size)) {
      return PackFault::kUnreadable;
    }
    done += size;
    if (progress) progress(done);
  }
  unsigned char digest[Sha256::kSize];
  if (!sha256.Final(digest)) return PackFault::kUnreadable;
  return std::memcmp(digest, record.sha256.data(), sizeof digest) == 0 ? PackFault::kNone : PackFault::kHash;
}

std::string UpperName(std::string_view name) {
  std::string upper(name);
  for (char& c : upper) c = static_cast<char>(UpperCp1250(static_cast<unsigned char>(c)));
  return upper;
}

// One entry's fields, read at `p`; the name follows them.
PayloadEntry DecodeEntry(const unsigned char* p) {
  PayloadEntry entry;
  entry.kind = static_cast<EntryKind>(p[0]);
  entry.method = static_cast<Method>(p[1]);
  entry.lastWrite = Get64(p + 4);
  entry.size = Get64(p + 12);
  entry.storedSize = Get64(p + 20);
  entry.dataOffset = Get64(p + 28);
  return entry;
}

bool EntryFieldsFit(const PayloadEntry& entry) {
  if (entry.kind == EntryKind::kDirectory) {
    return entry.method == Method::kStored && entry.size == 0 && entry.storedSize == 0 && entry.dataOffset == 0;
  }
  if (entry.kind != EntryKind::kFile) return false;
  if (entry.method == Method::kStored) return entry.storedSize == entry.size;
  return entry.method == Method::kDeflate;
}

// The name is unique (letter case aside, as Windows compares names), and
// the directory it lies in came before it.
bool NameFitsTree(const std::string& upper, const std::set<std::string>& names,
                  const std::set<std::string>& directories) {
  if (names.count(upper) != 0) return false;
  const std::size_t slash = upper.rfind('\\');
  return slash == std::string::npos || directories.count(upper.substr(0, slash)) != 0;
}

}  // namespace

const char* PackFaultText(PackFault fault) {
  switch (fault) {
    case PackFault::kNone: return "intact";
    case PackFault::kNotPacked: return "no one-file medium: no program, cut short inside the stub, or no pack record";
    case PackFault::kOffset: return "the payload does not start where the stub ends";
    case PackFault::kTooLarge: return "the payload ends past 4 GiB";
    case PackFault::kLength: return "the recorded payload length does not end at the certificate table";
    case PackFault::kTruncated: return "the file is cut short";
    case PackFault::kTrailingData: return "data follows the end of the file's signature or payload";
    case PackFault::kUnreadable: return "the file cannot be read";
    case PackFault::kHash: return "the payload's SHA-256 is not the recorded one";
    case PackFault::kIndex: return "the payload's index does not describe it";
    case PackFault::kRefusedName: return "the payload holds a name that is not a plain relative path";
  }
  return "?";
}

PackFault CheckPackedFile(ByteSource& file, Sha256& sha256, PackedFile& packed, const ProgressFunction& progress) {
  packed = PackedFile();
  if (!ReadPeLayout(file, kRecordSection, packed.layout) || !packed.layout.hasSection ||
      packed.layout.sectionSize < kRecordSize) {
    return PackFault::kNotPacked;
  }
  unsigned char bytes[kRecordSize];
  if (!file.ReadAt(packed.layout.sectionOffset, bytes, sizeof bytes) || !DecodeRecord(bytes, packed.record) ||
      packed.record.payloadLength == 0) {
    return PackFault::kNotPacked;
  }
  const PackRecord& record = packed.record;
  if (record.payloadOffset != packed.layout.imageEnd) return PackFault::kOffset;
  if (record.payloadLength > kMaxPayloadEnd || record.payloadOffset + record.payloadLength > kMaxPayloadEnd) {
    return PackFault::kTooLarge;
  }
  if (PackFault fault = CheckFileEnd(packed, file.Size()); fault != PackFault::kNone) return fault;
  if (PackFault fault = CheckHash(file, sha256, record, progress); fault != PackFault::kNone) return fault;
  return ReadIndex(file, packed);
}

PackFault ReadIndex(ByteSource& file, PackedFile& packed) {
  const PackRecord& record = packed.record;
  unsigned char header[kPayloadHeaderSize];
  if (record.payloadLength < kPayloadHeaderSize || !file.ReadAt(record.payloadOffset, header, sizeof header) ||
      std::memcmp(header, kPayloadMagic, sizeof kPayloadMagic) != 0) {
    return PackFault::kIndex;
  }
  const std::uint32_t count = Get32(header + 8);
  const std::uint32_t indexSize = Get32(header + 12);
  if (count > kMaxEntries || indexSize > kMaxIndexSize || kPayloadHeaderSize + indexSize > record.payloadLength) {
    return PackFault::kIndex;
  }
  std::vector<unsigned char> index(indexSize);
  if (!file.ReadAt(record.payloadOffset + kPayloadHeaderSize, index.data(), index.size())) return PackFault::kIndex;

  std::set<std::string> names, directories;
  std::uint64_t dataEnd = kPayloadHeaderSize + static_cast<std::uint64_t>(indexSize);
  std::size_t at = 0;
  bool hasSetup = false;
  packed.entries.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    if (index.size() - at < kEntryFixedSize) return PackFault::kIndex;
    PayloadEntry entry = DecodeEntry(index.data() + at);
    const std::size_t nameSize = Get16(index.data() + at + 2);
    at += kEntryFixedSize;
    if (index.size() - at < nameSize) return PackFault::kIndex;
    entry.name.assign(reinterpret_cast<const char*>(index.data() + at), nameSize);
    at += nameSize;
    packed.faultName = entry.name;
    if (CheckItemPath(entry.name) != PathFault::kNone) return PackFault::kRefusedName;
    const std::string upper = UpperName(entry.name);
    if (!EntryFieldsFit(entry) || !NameFitsTree(upper, names, directories)) return PackFault::kIndex;
    if (entry.kind == EntryKind::kFile) {
      // The files' bytes follow one another, and stay inside the payload.
      if (entry.dataOffset != dataEnd || entry.storedSize > record.payloadLength - dataEnd ||
          entry.size > UINT64_MAX - packed.extractedSize) {
        return PackFault::kIndex;
      }
      dataEnd += entry.storedSize;
      packed.extractedSize += entry.size;
      hasSetup = hasSetup || upper == UpperName(kSetupProgram);
    } else {
      directories.insert(upper);
    }
    names.insert(upper);
    packed.entries.push_back(std::move(entry));
  }
  packed.faultName.clear();
  // Only the padding to the certificate table's alignment may follow.
  if (at != index.size() || record.payloadLength - dataEnd >= kPayloadAlignment || !hasSetup) {
    return PackFault::kIndex;
  }
  return PackFault::kNone;
}

}  // namespace qz::pack
