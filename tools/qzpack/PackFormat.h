#pragma once
// The one-file medium: the setup stub (a Windows program), then the payload
// right after the stub's last section, then, once the file is signed, its
// certificate table:
//
//   stub image      the stub as linked; its section ".qzpack" holds the
//                   pack record: the payload's offset, length and SHA-256
//   payload         header, index, the files' bytes, zero padding to a
//                   multiple of 8 (the signature's table starts on one)
//   [certificate]   appended by the signing tool
//
// The record lies in a section of the image, so the signature covers it;
// the payload lies between the image and the certificate table, which the
// signature covers too. All numbers are little-endian.
//
// Record (64 bytes): magic "QZPACK\x1a\0", u32 version (1), u32 zero,
// u64 payload offset, u64 payload length, 32 bytes SHA-256 of the payload.
//
// Payload header (16 bytes): magic "QZPAYLD\0", u32 entry count, u32 index
// size. Index: one entry after another, each u8 kind (1 directory, 2
// file), u8 method (0 stored, 1 raw deflate), u16 name length, u64 last
// write time (FILETIME ticks), u64 size, u64 stored size, u64 offset of
// the stored bytes from the payload's start, then the name: a relative
// path in Windows-1250 with "\" between its names. A directory comes
// before what it holds; the files' bytes follow the index in its order.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/qzpack/Bytes.h"

namespace qz::pack {

inline constexpr char kRecordSection[] = ".qzpack";
inline constexpr std::size_t kRecordSize = 64;
inline constexpr std::uint32_t kFormatVersion = 1;
inline constexpr char kRecordMagic[8] = {'Q', 'Z', 'P', 'A', 'C', 'K', '\x1a', '\0'};
inline constexpr char kPayloadMagic[8] = {'Q', 'Z', 'P', 'A', 'Y', 'L', 'D', '\0'};
inline constexpr std::size_t kPayloadHeaderSize = 16;
inline constexpr std::size_t kEntryFixedSize = 36;
// The certificate table's offset is a 32-bit field, and it starts on a
// multiple of 8: the payload ends at or below this offset.
inline constexpr std::uint64_t kMaxPayloadEnd = 0xFFFFFFF8;
inline constexpr std::uint64_t kPayloadAlignment = 8;
// The program the stub runs, at the payload's root.
inline constexpr char kSetupProgram[] = "QZSetup.exe";

struct PackRecord {
  std::uint64_t payloadOffset = 0;
  std::uint64_t payloadLength = 0;
  std::array<unsigned char, Sha256::kSize> sha256{};
};

// The record of a stub that nothing was packed into yet: the stub's image
// holds it as linked (a constant, so that it lies in the file).
constexpr std::array<unsigned char, kRecordSize> EmptyRecord() {
  std::array<unsigned char, kRecordSize> bytes{};
  for (std::size_t i = 0; i < sizeof kRecordMagic; ++i) bytes[i] = static_cast<unsigned char>(kRecordMagic[i]);
  for (std::size_t i = 0; i < 4; ++i) bytes[8 + i] = static_cast<unsigned char>(kFormatVersion >> (8 * i));
  return bytes;
}
std::array<unsigned char, kRecordSize> EncodeRecord(const PackRecord& record);
// False when the bytes hold no record of this version.
bool DecodeRecord(const unsigned char* bytes, PackRecord& record);

enum class EntryKind : std::uint8_t { kDirectory = 1, kFile = 2 };
enum class Method : std::uint8_t { kStored = 0, kDeflate = 1 };

struct PayloadEntry {
  EntryKind kind = EntryKind::kFile;
  Method method = Method::kStored;
  std::string name;  // Windows-1250, "\" between names
  std::uint64_t lastWrite = 0;
  std::uint64_t size = 0;
  std::uint64_t storedSize = 0;
  std::uint64_t dataOffset = 0;
};

// The header and index of these entries, as written.
std::vector<unsigned char> EncodeIndex(const std::vector<PayloadEntry>& entries);
// The size EncodeIndex gives (header included).
std::uint64_t IndexSize(const std::vector<PayloadEntry>& entries);

}  // namespace qz::pack
