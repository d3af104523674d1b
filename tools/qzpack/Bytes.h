#pragma once
// The byte streams the packed format is read from and written to, and its
// little-endian fields. Offsets are 64-bit everywhere: a packed file reaches
// 4 GiB, and a 32-bit offset would wrap past 2 GiB or 4 GiB unseen.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace qz::pack {

// A file read at any offset: the packed file, the stub, a program.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual std::uint64_t Size() = 0;
  // Exactly `size` bytes at `offset`; false when the file has fewer there
  // or the read fails.
  virtual bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) = 0;
};

// A file read from its start to its end.
class InputStream {
 public:
  virtual ~InputStream() = default;
  // Up to `size` bytes; `got` is 0 at the end. False on a read error.
  virtual bool Read(void* buffer, std::size_t size, std::size_t& got) = 0;
};

// The file being written: written and read back at any offset.
class OutputTarget {
 public:
  virtual ~OutputTarget() = default;
  virtual bool WriteAt(std::uint64_t offset, const void* data, std::size_t size) = 0;
  virtual bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) = 0;
  // Cuts or extends the file to `size` bytes.
  virtual bool SetSize(std::uint64_t size) = 0;
};

// SHA-256, from the system or a well-kept library.
class Sha256 {
 public:
  static constexpr std::size_t kSize = 32;
  virtual ~Sha256() = default;
  virtual bool Update(const void* data, std::size_t size) = 0;
  // The digest of everything given since the start; the object is then spent.
  virtual bool Final(unsigned char digest[kSize]) = 0;
};

inline std::uint16_t Get16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
inline std::uint32_t Get32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
inline std::uint64_t Get64(const unsigned char* p) {
  return static_cast<std::uint64_t>(Get32(p)) | static_cast<std::uint64_t>(Get32(p + 4)) << 32;
}
inline void Put16(unsigned char* p, std::uint16_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
}
inline void Put32(unsigned char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
inline void Put64(unsigned char* p, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

}  // namespace qz::pack
