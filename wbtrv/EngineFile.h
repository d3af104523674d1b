#pragma once
// How the engine reaches files: an opener turns the path of an Open request
// into an open file whose bytes the engine reads at given offsets. The DLL
// opens Windows paths with Win32 calls, the native library host paths, and
// the simulated machine its own Windows paths; the engine itself only reads.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace qz::wbtrv {

class EngineFile {
 public:
  virtual ~EngineFile() = default;
  // Reads up to `size` bytes from `offset`; fewer only at the end of the
  // file. False on a read error.
  virtual bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size, std::size_t& got) = 0;
};

class FileOpener {
 public:
  virtual ~FileOpener() = default;
  // Opens the file for reading. `exclusive`: no other opener may have it
  // open meanwhile. Returns the engine status (12 not found, 46 access
  // denied, 85 in use, 11 bad name, ...), with `file` set on 0.
  virtual std::uint16_t Open(const char* path, bool exclusive, std::unique_ptr<EngineFile>& file) = 0;
};

// A file held in memory: for the parser's fuzzing, the benchmark and tests.
class MemoryFile : public EngineFile {
 public:
  MemoryFile(const void* bytes, std::size_t size)
      : bytes_(static_cast<const std::uint8_t*>(bytes)), size_(size) {}
  explicit MemoryFile(const std::vector<std::uint8_t>& bytes) : MemoryFile(bytes.data(), bytes.size()) {}
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size, std::size_t& got) override;

 private:
  const std::uint8_t* bytes_;
  std::size_t size_;
};

}  // namespace qz::wbtrv
