#pragma once
// Writing a one-file medium (PackFormat.h): the stub, the payload of the
// given items, and the stub's record filled in. The names are written as
// they are given: the packer checks them first (Packer.h), the tests that
// craft refused names do not.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tools/qzpack/Bytes.h"
#include "tools/qzpack/PackFormat.h"

namespace qz::pack {

// zlib's level 9: on the benchmark's 100 MB payload 0.7 % smaller than the
// default level 6 for twice the packing time (6.6 s of CPU against 2.9 s);
// inflating costs the same. A file is packed once and downloaded often.
inline constexpr int kDeflateLevel = 9;

struct PackItem {
  EntryKind kind = EntryKind::kFile;
  std::string name;  // Windows-1250, "\" between names
  std::uint64_t lastWrite = 0;  // FILETIME ticks
  // A file's bytes; null when they cannot be read.
  std::function<std::unique_ptr<InputStream>()> open;
};

struct PackSummary {
  PackRecord record;
  std::uint64_t files = 0;
  std::uint64_t directories = 0;
  std::uint64_t size = 0;        // the files' bytes
  std::uint64_t storedSize = 0;  // the same as stored in the payload
};

// Writes the stub and the payload of `items`, in their order, into `out`
// from its start. The stub is one as linked: unsigned, with an empty record
// and nothing after its image. False with the reason in `problem`.
bool WritePackedFile(ByteSource& stub, const std::vector<PackItem>& items, OutputTarget& out, Sha256& sha256,
                     PackSummary& summary, std::string& problem);

}  // namespace qz::pack
