#pragma once
// Writing a checked payload's directories and files into the extraction
// folder, the files' bytes inflated as they are read.

#include <cstdint>
#include <memory>
#include <string>

#include "tools/qzpack/Bytes.h"
#include "tools/qzpack/PackCheck.h"

namespace qz::pack {

// A file being written in the extraction folder.
class FileSink {
 public:
  virtual ~FileSink() = default;
  // 0 or the Win32 error code, here and below.
  virtual std::uint32_t Write(const void* data, std::size_t size) = 0;
  // Gives the file its last write time (FILETIME ticks) and closes it.
  virtual std::uint32_t Finish(std::uint64_t lastWrite) = 0;
};

// The extraction folder. Names are relative to it, in Windows-1250, and
// were checked (PackCheck.h); nothing that exists is opened or replaced.
class ExtractTarget {
 public:
  virtual ~ExtractTarget() = default;
  virtual std::uint32_t MakeDirectory(const std::string& name) = 0;
  virtual std::uint32_t CreateNewFile(const std::string& name, std::unique_ptr<FileSink>& file) = 0;
};

enum class ExtractOutcome {
  kDone,
  kDamaged,      // a file's bytes do not inflate to its size
  kWriteFailed,  // the folder refused a directory, a file or a write
};

struct ExtractResult {
  ExtractOutcome outcome = ExtractOutcome::kDone;
  std::uint32_t error = 0;  // with kWriteFailed
  std::string name;         // the entry it stopped at
};

// Writes every entry of `packed` (checked by CheckPackedFile) from `file`
// into `target`, in the index's order; stops at the first failure.
// `progress` gets the bytes written so far.
ExtractResult ExtractPayload(ByteSource& file, const PackedFile& packed, ExtractTarget& target,
                             const ProgressFunction& progress = nullptr);

}  // namespace qz::pack
