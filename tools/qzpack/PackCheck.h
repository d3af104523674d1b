#pragma once
// The checks a one-file medium passes before anything is extracted from it,
// as the stub makes them and `qzpack --verify` repeats them: the pack
// record, where the payload starts and ends, that the file ends where its
// certificate table (or, unsigned, its payload) ends, the payload's SHA-256,
// and an index whose every name stays inside the extraction folder.
//
// Damage to the stub's code or to the signature is the signature check's to
// find (Windows, tools/verify-signatures): the stub cannot vouch for the
// code that checks.

#include <cstdint>
#include <functional>
#include <vector>

#include "tools/qzpack/Bytes.h"
#include "tools/qzpack/PackFormat.h"
#include "tools/qzpack/PeImage.h"

namespace qz::pack {

enum class PackFault {
  kNone,
  kNotPacked,     // no program, cut short inside the stub, or no record filled in
  kOffset,        // the payload does not start where the stub's image ends
  kTooLarge,      // the payload would end past 4 GiB
  kLength,        // a signed file whose payload does not end where its certificate table starts
  kTruncated,     // the file ends before its payload or certificate table does
  kTrailingData,  // bytes after the certificate table (or, unsigned, after the payload)
  kUnreadable,    // the file could not be read, or no SHA-256 could be made
  kHash,          // the payload's SHA-256 is not the recorded one
  kIndex,         // the index does not describe the payload, or names no setup program
  kRefusedName,   // a name that is not a plain relative path: a drive, "..", a device...
};

// The fault in words (English, for qzpack --verify).
const char* PackFaultText(PackFault fault);

struct PackedFile {
  PeLayout layout;
  PackRecord record;
  std::vector<PayloadEntry> entries;
  std::uint64_t extractedSize = 0;  // the files' bytes once extracted
  // With kRefusedName or kIndex: the entry's name, for the maker's eyes.
  std::string faultName;
};

// Called with the bytes checked so far.
using ProgressFunction = std::function<void(std::uint64_t done)>;

// Checks `file` from its start to its end; `sha256` is spent. On success
// `packed` describes the payload.
PackFault CheckPackedFile(ByteSource& file, Sha256& sha256, PackedFile& packed,
                          const ProgressFunction& progress = nullptr);

// The index of the payload of `packed.record`, checked against the payload
// (every entry's bytes inside it, in order) and every name against the
// rules of common/SafePaths.h; also used apart from the hash for files the
// tests craft.
PackFault ReadIndex(ByteSource& file, PackedFile& packed);

}  // namespace qz::pack
