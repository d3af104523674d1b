#include "tools/qzpack/PackWriter.h"

#include <zlib.h>

#include <algorithm>

#include "tools/qzpack/PeImage.h"

namespace qz::pack {
namespace {

constexpr std::size_t kChunk = 256 * 1024;

bool Fail(std::string& problem, std::string text) {
  problem = std::move(text);
  return false;
}

// The stub as linked: a program with an empty record, unsigned, ending
// where its image ends, on the certificate table's alignment.
bool CheckStub(ByteSource& stub, PeLayout& layout, std::string& problem) {
  if (!ReadPeLayout(stub, kRecordSection, layout)) return Fail(problem, "the stub is no Windows program");
  unsigned char bytes[kRecordSize];
  PackRecord record;
  if (!layout.hasSection || layout.sectionSize < kRecordSize ||
      !stub.ReadAt(layout.sectionOffset, bytes, sizeof bytes) || !DecodeRecord(bytes, record)) {
    return Fail(problem, "the stub has no pack record of this version (section .qzpack)");
  }
  if (record.payloadLength != 0) return Fail(problem, "the stub is a packed file already");
  if (layout.certificateSize != 0) return Fail(problem, "the stub is signed: the packed file is signed after packing");
  if (stub.Size() != layout.imageEnd || layout.imageEnd % kPayloadAlignment != 0) {
    return Fail(problem, "the stub carries data after its image (symbols?): it must be linked stripped");
  }
  return true;
}

// Writes `size` bytes at `at`, refusing a payload that would pass the 4 GiB
// a signed file can hold.
bool WriteBounded(OutputTarget& out, std::uint64_t at, const void* data, std::size_t size, std::string& problem) {
  if (at + size > kMaxPayloadEnd) return Fail(problem, "the packed file would pass 4 GiB");
  return size == 0 || out.WriteAt(at, data, size) || Fail(problem, "cannot write the packed file");
}

bool CopyStub(ByteSource& stub, OutputTarget& out, std::string& problem) {
  std::vector<unsigned char> buffer(kChunk);
  const std::uint64_t size = stub.Size();
  for (std::uint64_t done = 0; done < size;) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, size - done));
    if (!stub.ReadAt(done, buffer.data(), n)) return Fail(problem, "cannot read the stub");
    if (!WriteBounded(out, done, buffer.data(), n, problem)) return false;
    done += n;
  }
  return true;
}

// Stores the item's bytes unchanged at `at`.
bool WriteStored(const PackItem& item, OutputTarget& out, std::uint64_t at, PayloadEntry& entry, std::string& problem) {
  std::unique_ptr<InputStream> in = item.open ? item.open() : nullptr;
  if (!in) return Fail(problem, "cannot read " + item.name);
  std::vector<unsigned char> buffer(kChunk);
  std::uint64_t size = 0;
  for (;;) {
    std::size_t got = 0;
    if (!in->Read(buffer.data(), buffer.size(), got)) return Fail(problem, "cannot read " + item.name);
    if (got == 0) break;
    if (!WriteBounded(out, at + size, buffer.data(), got, problem)) return false;
    size += got;
  }
  entry.method = Method::kStored;
  entry.size = entry.storedSize = size;
  return true;
}

// Deflates the item's bytes to `at`; entry.size and entry.storedSize
// tell what came in and what went out.
bool WriteDeflated(const PackItem& item, OutputTarget& out, std::uint64_t at, PayloadEntry& entry,
                   std::string& problem) {
  std::unique_ptr<InputStream> in = item.open ? item.open() : nullptr;
  if (!in) return Fail(problem, "cannot read " + item.name);
  z_stream stream{};
  if (deflateInit2(&stream, kDeflateLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    return Fail(problem, "zlib cannot start");
  }
  struct End {
    z_stream& s;
    ~End() { deflateEnd(&s); }
  } end{stream};
  std::vector<unsigned char> input(kChunk), output(kChunk);
  entry.method = Method::kDeflate;
  entry.size = entry.storedSize = 0;
  int flush = Z_NO_FLUSH;
  while (flush != Z_FINISH) {
    std::size_t got = 0;
    if (!in->Read(input.data(), input.size(), got)) return Fail(problem, "cannot read " + item.name);
    flush = got == 0 ? Z_FINISH : Z_NO_FLUSH;
    entry.size += got;
    stream.next_in = input.data();
    stream.avail_in = static_cast<uInt>(got);
    int status;
    do {
      stream.next_out = output.data();
      stream.avail_out = static_cast<uInt>(output.size());
      status = deflate(&stream, flush);
      const std::size_t produced = output.size() - stream.avail_out;
      if (produced != 0 && !WriteBounded(out, at + entry.storedSize, output.data(), produced, problem)) return false;
      entry.storedSize += produced;
    } while (stream.avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
  }
  return true;
}

// One file at `at`: deflated, or stored where deflating does not make it
// smaller (compressed pictures, archives, an empty file).
bool WriteFile(const PackItem& item, OutputTarget& out, std::uint64_t at, PayloadEntry& entry, std::string& problem) {
  if (!WriteDeflated(item, out, at, entry, problem)) return false;
  if (entry.storedSize < entry.size) return true;
  const std::uint64_t size = entry.size;
  if (!WriteStored(item, out, at, entry, problem)) return false;
  return entry.size == size || Fail(problem, item.name + " changed while it was packed");
}

bool HashPayload(OutputTarget& out, Sha256& sha256, PackRecord& record, std::string& problem) {
  std::vector<unsigned char> buffer(kChunk);
  for (std::uint64_t done = 0; done < record.payloadLength;) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, record.payloadLength - done));
    if (!out.ReadAt(record.payloadOffset + done, buffer.data(), n) || !sha256.Update(buffer.data(), n)) {
      return Fail(problem, "cannot read back the payload");
    }
    done += n;
  }
  return sha256.Final(record.sha256.data()) || Fail(problem, "SHA-256 failed");
}

}  // namespace

bool WritePackedFile(ByteSource& stub, const std::vector<PackItem>& items, OutputTarget& out, Sha256& sha256,
                     PackSummary& summary, std::string& problem) {
  summary = PackSummary();
  PeLayout layout;
  if (!CheckStub(stub, layout, problem) || !CopyStub(stub, out, problem)) return false;

  std::vector<PayloadEntry> entries(items.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    entries[i].kind = items[i].kind;
    entries[i].name = items[i].name;
    entries[i].lastWrite = items[i].lastWrite;
  }
  PackRecord& record = summary.record;
  record.payloadOffset = layout.imageEnd;
  std::uint64_t dataEnd = IndexSize(entries);
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i].kind != EntryKind::kFile) {
      ++summary.directories;
      continue;
    }
    entries[i].dataOffset = dataEnd;
    if (!WriteFile(items[i], out, record.payloadOffset + dataEnd, entries[i], problem)) return false;
    dataEnd += entries[i].storedSize;
    ++summary.files;
    summary.size += entries[i].size;
    summary.storedSize += entries[i].storedSize;
  }
  // Zeros up to the alignment the certificate table will start on.
  record.payloadLength = (dataEnd + kPayloadAlignment - 1) / kPayloadAlignment * kPayloadAlignment;
  const unsigned char zeros[kPayloadAlignment] = {};
  const std::vector<unsigned char> index = EncodeIndex(entries);
  if (!WriteBounded(out, record.payloadOffset + dataEnd, zeros, record.payloadLength - dataEnd, problem) ||
      !WriteBounded(out, record.payloadOffset, index.data(), index.size(), problem) ||
      !out.SetSize(record.payloadOffset + record.payloadLength)) {
    return problem.empty() ? Fail(problem, "cannot write the packed file") : false;
  }
  if (!HashPayload(out, sha256, record, problem)) return false;
  const std::array<unsigned char, kRecordSize> filled = EncodeRecord(record);
  return out.WriteAt(layout.sectionOffset, filled.data(), filled.size()) || Fail(problem, "cannot write the record");
}

}  // namespace qz::pack
