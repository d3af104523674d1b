#include "tools/qzpack/Packer.h"

#include <algorithm>
#include <set>

#include "common/SafePaths.h"
#include "text/CodePage.h"

namespace qz::pack {
namespace {

class StreamFromStart : public InputStream {
 public:
  explicit StreamFromStart(std::shared_ptr<ByteSource> source) : source_(std::move(source)) {}
  bool Read(void* buffer, std::size_t size, std::size_t& got) override {
    const std::uint64_t left = source_->Size() - std::min(source_->Size(), at_);
    got = static_cast<std::size_t>(std::min<std::uint64_t>(size, left));
    if (got != 0 && !source_->ReadAt(at_, buffer, got)) return false;
    at_ += got;
    return true;
  }

 private:
  std::shared_ptr<ByteSource> source_;
  std::uint64_t at_ = 0;
};

// Names in the order of their folders' names, then their own: a folder
// comes right before what it holds, and the order does not depend on the
// order a system lists a folder in.
bool TreeOrder(const MediumEntry& a, const MediumEntry& b) {
  auto key = [](unsigned char c) { return c == '\\' ? 0 : c; };
  return std::lexicographical_compare(a.name.begin(), a.name.end(), b.name.begin(), b.name.end(),
                                      [&](char x, char y) { return key(x) < key(y); });
}

bool AtRoot(const MediumEntry& entry, const char* name) {
  return entry.name.find('\\') == std::string::npos && EqualsNoCase(entry.name, name);
}

// The name must pass the stub's checks, and be the only one of its
// spelling (Windows does not tell letter case apart).
bool CheckName(const MediumEntry& entry, std::set<std::string>& seen, std::string& problem) {
  if (PathFault fault = CheckItemPath(entry.name); fault != PathFault::kNone) {
    problem = "the medium holds \"" + entry.name + "\", which the setup stub would refuse: " + PathFaultText(fault);
    return false;
  }
  std::string upper = entry.name;
  for (char& c : upper) c = static_cast<char>(UpperCp1250(static_cast<unsigned char>(c)));
  if (!seen.insert(upper).second) {
    problem = "the medium holds \"" + entry.name + "\" twice, in letters of another case: Windows keeps one";
    return false;
  }
  return true;
}

PackItem MediumItem(PackSource& source, const MediumEntry& entry) {
  PackItem item;
  item.kind = entry.directory ? EntryKind::kDirectory : EntryKind::kFile;
  item.name = entry.name;
  item.lastWrite = entry.lastWrite;
  if (!entry.directory) {
    item.open = [&source, name = entry.name]() -> std::unique_ptr<InputStream> {
      std::unique_ptr<ByteSource> file = source.OpenMediumFile(name);
      return file ? ReadFromStart(std::move(file)) : nullptr;
    };
  }
  return item;
}

}  // namespace

std::unique_ptr<InputStream> ReadFromStart(std::shared_ptr<ByteSource> source) {
  return std::make_unique<StreamFromStart>(std::move(source));
}

bool PackMedium(PackSource& source, OutputTarget& out, Sha256& sha256, PackSummary& summary, PackNotes& notes,
                std::string& problem) {
  std::uint64_t stubTime = 0, setupTime = 0;
  std::unique_ptr<ByteSource> stub = source.OpenProgram(kStubProgram, stubTime);
  std::shared_ptr<ByteSource> setup = source.OpenProgram(kSetupProgram, setupTime);
  if (!stub || !setup) {
    problem = std::string("the programs' folder lacks ") + (stub ? kSetupProgram : kStubProgram);
    return false;
  }
  std::vector<MediumEntry> entries;
  if (!source.ListMedium(entries, problem)) return false;
  std::sort(entries.begin(), entries.end(), TreeOrder);

  std::vector<PackItem> items;
  PackItem program;
  program.name = kSetupProgram;
  program.lastWrite = setupTime;
  program.open = [setup]() { return ReadFromStart(setup); };
  items.push_back(std::move(program));
  std::set<std::string> seen{"QZSETUP.EXE"};
  for (const MediumEntry& entry : entries) {
    if (AtRoot(entry, kSetupProgram) && !entry.directory) {
      notes.leftOut.push_back(entry.name + ": the programs' folder's " + kSetupProgram + " is packed in its place");
      continue;
    }
    if (AtRoot(entry, kEngineLibrary) && !entry.directory) {
      notes.leftOut.push_back(entry.name + ": the Btrieve engine belongs to the machine, not the medium");
      continue;
    }
    if (!CheckName(entry, seen, problem)) return false;
    items.push_back(MediumItem(source, entry));
  }
  return WritePackedFile(*stub, items, out, sha256, summary, problem);
}

}  // namespace qz::pack
