#include "tools/qzpack/PeImage.h"

#include <algorithm>
#include <vector>

namespace qz::pack {
namespace {

constexpr std::uint32_t kMaxHeaderOffset = 0x10000;
constexpr std::uint16_t kMaxSections = 96;  // the loader's own limit
constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;
constexpr std::size_t kCoffHeaderSize = 20;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::uint32_t kCertificateDirectory = 4;

}  // namespace

bool ReadPeLayout(ByteSource& file, std::string_view section, PeLayout& layout) {
  layout = PeLayout();
  const std::uint64_t fileSize = file.Size();
  unsigned char dos[64];
  if (!file.ReadAt(0, dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z') return false;
  const std::uint32_t peOffset = Get32(dos + 0x3C);
  if (peOffset > kMaxHeaderOffset) return false;

  unsigned char coff[4 + kCoffHeaderSize];
  if (!file.ReadAt(peOffset, coff, sizeof coff) || std::memcmp(coff, "PE\0\0", 4) != 0) return false;
  const std::uint16_t sectionCount = Get16(coff + 4 + 2);
  const std::uint16_t optionalSize = Get16(coff + 4 + 16);
  if (sectionCount == 0 || sectionCount > kMaxSections) return false;

  const std::uint32_t optionalOffset = peOffset + 4 + kCoffHeaderSize;
  std::vector<unsigned char> optional(optionalSize);
  if (optionalSize < 2 || !file.ReadAt(optionalOffset, optional.data(), optional.size())) return false;
  const std::uint16_t magic = Get16(optional.data());
  if (magic != kMagicPe32 && magic != kMagicPe32Plus) return false;
  layout.is64 = magic == kMagicPe32Plus;
  // The data directories follow the fields that differ between the two forms.
  const std::size_t directoryCountAt = layout.is64 ? 108 : 92;
  const std::size_t directoriesAt = directoryCountAt + 4;
  if (optional.size() < directoriesAt) return false;
  const std::uint32_t sizeOfHeaders = Get32(optional.data() + 60);
  const std::uint32_t directoryCount = Get32(optional.data() + directoryCountAt);
  layout.checksumOffset = optionalOffset + 64;
  if (directoryCount > kCertificateDirectory) {
    const std::size_t entryAt = directoriesAt + 8 * kCertificateDirectory;
    if (optional.size() < entryAt + 8) return false;
    layout.certificateEntryOffset = optionalOffset + static_cast<std::uint32_t>(entryAt);
    layout.certificateOffset = Get32(optional.data() + entryAt);
    layout.certificateSize = Get32(optional.data() + entryAt + 4);
  }

  std::vector<unsigned char> table(static_cast<std::size_t>(sectionCount) * kSectionHeaderSize);
  if (!file.ReadAt(optionalOffset + optionalSize, table.data(), table.size())) return false;
  std::uint64_t end = std::max<std::uint64_t>(sizeOfHeaders, optionalOffset + optionalSize + table.size());
  for (std::uint16_t i = 0; i < sectionCount; ++i) {
    const unsigned char* header = table.data() + i * kSectionHeaderSize;
    const std::uint32_t rawSize = Get32(header + 16);
    const std::uint32_t rawOffset = Get32(header + 20);
    if (rawSize == 0) continue;
    const std::uint64_t rawEnd = static_cast<std::uint64_t>(rawOffset) + rawSize;
    if (rawEnd > fileSize) return false;
    end = std::max(end, rawEnd);
    const char* nameBytes = reinterpret_cast<const char*>(header);
    const std::string_view name(nameBytes, static_cast<std::size_t>(std::find(nameBytes, nameBytes + 8, '\0') - nameBytes));
    if (!layout.hasSection && name == section) {
      layout.hasSection = true;
      layout.sectionOffset = rawOffset;
      layout.sectionSize = rawSize;
    }
  }
  if (end > fileSize) return false;
  layout.imageEnd = end;
  return true;
}

}  // namespace qz::pack
