#include "tools/qzpack/Extract.h"

#include <zlib.h>

#include <algorithm>
#include <vector>

namespace qz::pack {
namespace {

constexpr std::size_t kChunk = 256 * 1024;

// Adds what a write moved on to the progress.
class Written {
 public:
  explicit Written(const ProgressFunction& progress) : progress_(progress) {}
  void Add(std::size_t size) {
    done_ += size;
    if (progress_) progress_(done_);
  }

 private:
  const ProgressFunction& progress_;
  std::uint64_t done_ = 0;
};

ExtractResult Failed(ExtractOutcome outcome, std::uint32_t error, const PayloadEntry& entry) {
  return ExtractResult{outcome, error, entry.name};
}

ExtractOutcome CopyStored(ByteSource& file, std::uint64_t at, const PayloadEntry& entry, FileSink& sink,
                          Written& written, std::uint32_t& error) {
  std::vector<unsigned char> buffer(kChunk);
  for (std::uint64_t done = 0; done < entry.size;) {
    const std::size_t size = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, entry.size - done));
    if (!file.ReadAt(at + done, buffer.data(), size)) return ExtractOutcome::kDamaged;
    if ((error = sink.Write(buffer.data(), size)) != 0) return ExtractOutcome::kWriteFailed;
    done += size;
    written.Add(size);
  }
  return ExtractOutcome::kDone;
}

// Inflates the entry's raw deflate stream, which must give exactly its
// size and end exactly at its stored size.
ExtractOutcome Inflate(ByteSource& file, std::uint64_t at, const PayloadEntry& entry, FileSink& sink,
                       Written& written, std::uint32_t& error) {
  z_stream stream{};
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return ExtractOutcome::kDamaged;
  struct End {
    z_stream& s;
    ~End() { inflateEnd(&s); }
  } end{stream};
  std::vector<unsigned char> in(kChunk), out(kChunk);
  std::uint64_t read = 0, produced = 0;
  for (;;) {
    if (stream.avail_in == 0 && read < entry.storedSize) {
      const std::size_t size = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, entry.storedSize - read));
      if (!file.ReadAt(at + read, in.data(), size)) return ExtractOutcome::kDamaged;
      read += size;
      stream.next_in = in.data();
      stream.avail_in = static_cast<uInt>(size);
    }
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    // Z_BUF_ERROR: the stored bytes ran out before the stream's end.
    const int status = inflate(&stream, Z_NO_FLUSH);
    if (status != Z_OK && status != Z_STREAM_END) return ExtractOutcome::kDamaged;
    const std::size_t got = out.size() - stream.avail_out;
    if (got > entry.size - produced) return ExtractOutcome::kDamaged;
    if (got != 0 && (error = sink.Write(out.data(), got)) != 0) return ExtractOutcome::kWriteFailed;
    produced += got;
    written.Add(got);
    if (status == Z_STREAM_END) break;
  }
  const bool exact = produced == entry.size && read == entry.storedSize && stream.avail_in == 0;
  return exact ? ExtractOutcome::kDone : ExtractOutcome::kDamaged;
}

}  // namespace

ExtractResult ExtractPayload(ByteSource& file, const PackedFile& packed, ExtractTarget& target,
                             const ProgressFunction& progress) {
  Written written(progress);
  for (const PayloadEntry& entry : packed.entries) {
    std::uint32_t error = 0;
    if (entry.kind == EntryKind::kDirectory) {
      if ((error = target.MakeDirectory(entry.name)) != 0) return Failed(ExtractOutcome::kWriteFailed, error, entry);
      continue;
    }
    std::unique_ptr<FileSink> sink;
    if ((error = target.CreateNewFile(entry.name, sink)) != 0) return Failed(ExtractOutcome::kWriteFailed, error, entry);
    const std::uint64_t at = packed.record.payloadOffset + entry.dataOffset;
    ExtractOutcome outcome = entry.method == Method::kStored ? CopyStored(file, at, entry, *sink, written, error)
                                                             : Inflate(file, at, entry, *sink, written, error);
    if (outcome == ExtractOutcome::kDone && (error = sink->Finish(entry.lastWrite)) != 0) {
      outcome = ExtractOutcome::kWriteFailed;
    }
    if (outcome != ExtractOutcome::kDone) return Failed(outcome, error, entry);
  }
  return ExtractResult();
}

}  // namespace qz::pack
