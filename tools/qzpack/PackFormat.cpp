#include "tools/qzpack/PackFormat.h"

namespace qz::pack {

std::array<unsigned char, kRecordSize> EncodeRecord(const PackRecord& record) {
  std::array<unsigned char, kRecordSize> bytes{};
  std::memcpy(bytes.data(), kRecordMagic, sizeof kRecordMagic);
  Put32(bytes.data() + 8, kFormatVersion);
  Put64(bytes.data() + 16, record.payloadOffset);
  Put64(bytes.data() + 24, record.payloadLength);
  std::memcpy(bytes.data() + 32, record.sha256.data(), record.sha256.size());
  return bytes;
}

bool DecodeRecord(const unsigned char* bytes, PackRecord& record) {
  if (std::memcmp(bytes, kRecordMagic, sizeof kRecordMagic) != 0) return false;
  if (Get32(bytes + 8) != kFormatVersion || Get32(bytes + 12) != 0) return false;
  record.payloadOffset = Get64(bytes + 16);
  record.payloadLength = Get64(bytes + 24);
  std::memcpy(record.sha256.data(), bytes + 32, record.sha256.size());
  return true;
}

std::uint64_t IndexSize(const std::vector<PayloadEntry>& entries) {
  std::uint64_t size = kPayloadHeaderSize;
  for (const PayloadEntry& entry : entries) size += kEntryFixedSize + entry.name.size();
  return size;
}

std::vector<unsigned char> EncodeIndex(const std::vector<PayloadEntry>& entries) {
  std::vector<unsigned char> bytes(IndexSize(entries));
  std::memcpy(bytes.data(), kPayloadMagic, sizeof kPayloadMagic);
  Put32(bytes.data() + 8, static_cast<std::uint32_t>(entries.size()));
  Put32(bytes.data() + 12, static_cast<std::uint32_t>(bytes.size() - kPayloadHeaderSize));
  unsigned char* p = bytes.data() + kPayloadHeaderSize;
  for (const PayloadEntry& entry : entries) {
    p[0] = static_cast<unsigned char>(entry.kind);
    p[1] = static_cast<unsigned char>(entry.method);
    Put16(p + 2, static_cast<std::uint16_t>(entry.name.size()));
    Put64(p + 4, entry.lastWrite);
    Put64(p + 12, entry.size);
    Put64(p + 20, entry.storedSize);
    Put64(p + 28, entry.dataOffset);
    std::memcpy(p + kEntryFixedSize, entry.name.data(), entry.name.size());
    p += kEntryFixedSize + entry.name.size();
  }
  return bytes;
}

}  // namespace qz::pack
