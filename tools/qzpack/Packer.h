#pragma once
// What qzpack packs: the setup program from the programs' folder, then the
// medium's own files and folders as they are, in one order wherever it
// runs, so that qzpack and qzpack.exe write the same file. Nothing else:
// the medium's own QZSetup.exe gives way to the programs' one, and a Btrieve
// engine (wbtrv32.dll) on the medium is left out, since beside the setup
// program it would shadow the engine the machine has.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/qzpack/PackWriter.h"

namespace qz::pack {

// The stub's file in the programs' folder.
inline constexpr char kStubProgram[] = "qzstub.exe";
inline constexpr char kEngineLibrary[] = "wbtrv32.dll";

struct MediumEntry {
  std::string name;  // relative to the medium, Windows-1250, "\" between names
  bool directory = false;
  std::uint64_t lastWrite = 0;  // FILETIME ticks
};

// The medium's and the programs' folders as the packer reads them.
class PackSource {
 public:
  virtual ~PackSource() = default;
  // Every file and folder below the medium's root, in any order. False
  // with the reason for what cannot be packed: a link or junction, a name
  // that Windows-1250 cannot write, a folder that cannot be read.
  virtual bool ListMedium(std::vector<MediumEntry>& entries, std::string& problem) = 0;
  // Null when the file cannot be opened.
  virtual std::unique_ptr<ByteSource> OpenMediumFile(const std::string& name) = 0;
  virtual std::unique_ptr<ByteSource> OpenProgram(const std::string& name, std::uint64_t& lastWrite) = 0;
};

// What the packer noted and left out, for the maker (Windows-1250).
struct PackNotes {
  std::vector<std::string> leftOut;
};

// Reads a ByteSource from its start.
std::unique_ptr<InputStream> ReadFromStart(std::shared_ptr<ByteSource> source);

// Packs the medium behind `source` into `out`. False with the reason
// (Windows-1250) when a name would be refused by the stub, or a file
// cannot be read or written.
bool PackMedium(PackSource& source, OutputTarget& out, Sha256& sha256, PackSummary& summary, PackNotes& notes,
                std::string& problem);

}  // namespace qz::pack
