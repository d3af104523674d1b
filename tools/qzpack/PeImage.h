#pragma once
// What the packed format needs of a Windows program's file (PE32 or PE32+):
// where its sections' bytes end, where the section that holds the pack
// record lies, and where its certificate table (the Authenticode signature)
// is. Everything is read from the file; nothing is trusted beyond what the
// checks below prove.

#include <cstdint>
#include <string_view>

#include "tools/qzpack/Bytes.h"

namespace qz::pack {

struct PeLayout {
  bool is64 = false;
  std::uint32_t checksumOffset = 0;  // the file offset of the optional header's CheckSum
  // The file offset of the certificate table's entry in the data
  // directories (two 32-bit fields: the table's file offset and size).
  std::uint32_t certificateEntryOffset = 0;
  std::uint32_t certificateOffset = 0;  // the table itself; 0 and 0 in an unsigned file
  std::uint32_t certificateSize = 0;
  // Where the headers and every section's raw bytes end: what follows is
  // no part of the image the loader maps.
  std::uint64_t imageEnd = 0;
  // The section named by FindSection, if it is there.
  bool hasSection = false;
  std::uint32_t sectionOffset = 0;
  std::uint32_t sectionSize = 0;
};

// Reads the layout of the program in `file`, and the section called
// `section` (at most 8 characters). False when the file is no PE image, or
// its headers or sections lie outside it.
bool ReadPeLayout(ByteSource& file, std::string_view section, PeLayout& layout);

}  // namespace qz::pack
