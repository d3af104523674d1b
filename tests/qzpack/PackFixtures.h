#pragma once
// What the tests of the one-file medium pack and check with, in memory: a
// small stand-in stub (a PE32 image with the record's section), files of
// bytes, a signature's place as a signing tool makes it, and a stub
// machine that records what the stub did.

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tools/qzpack/Bytes.h"
#include "tools/qzpack/PackWriter.h"
#include "tools/qzpack/StubRun.h"

namespace qz::test {

using Bytes = std::vector<unsigned char>;

// A PE32 image: headers, a ".text" section of `codeSize` bytes and the
// ".qzpack" section with an empty record, as the linker lays out the stub.
Bytes MakeStubImage(std::uint32_t codeSize = 0x200);

// Appends a certificate table of `size` bytes and points the image's
// certificate entry at it, as osslsigncode does.
void AppendSignature(Bytes& file, std::uint32_t size = 0x300);

class MemorySource : public pack::ByteSource {
 public:
  explicit MemorySource(Bytes bytes) : bytes_(std::move(bytes)) {}
  std::uint64_t Size() override { return bytes_.size(); }
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override;
  const Bytes& bytes() const { return bytes_; }

 private:
  Bytes bytes_;
};

class MemoryTarget : public pack::OutputTarget {
 public:
  bool WriteAt(std::uint64_t offset, const void* data, std::size_t size) override;
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override;
  bool SetSize(std::uint64_t size) override;
  Bytes& bytes() { return bytes_; }

 private:
  Bytes bytes_;
};

// A file or folder to pack: a folder when `data` is absent.
struct Item {
  std::string name;
  std::string data;
  bool directory = false;
  std::uint64_t lastWrite = 132000000000000000ull;
};

// Items as the writer takes them.
std::vector<pack::PackItem> PackItems(const std::vector<Item>& items);
// The stand-in stub with `items` packed after it in their order, names as
// given (the setup program is one of the items, or missing).
Bytes PackedFile(const std::vector<Item>& items, const Bytes& stub = MakeStubImage());
// A small medium: the setup program, a folder, files of text and of bytes
// that do not deflate.
std::vector<Item> SampleItems();

// The record's place in a packed file of the stand-in stub.
std::uint64_t RecordOffset(const Bytes& file);

// The stub's machine in memory: the extraction folder as a map, and a log
// of what was asked of it.
class FakeStubSystem : public pack::StubSystem {
 public:
  explicit FakeStubSystem(Bytes file) : self_(std::move(file)) {}

  pack::ByteSource& Self() override { return self_; }
  std::unique_ptr<pack::Sha256> NewSha256() override;
  std::uint32_t FreeSpace(std::uint64_t& bytes) override;
  std::uint32_t MakeFolder() override;
  std::uint32_t MakeDirectory(const std::string& name) override;
  std::uint32_t CreateNewFile(const std::string& name, std::unique_ptr<pack::FileSink>& file) override;
  std::uint32_t RunSetup(int& status) override;
  void RemoveFolder() override;
  void ShowMessage(pack::StubMessage message, std::uint32_t error) override;
  void ShowProgress(pack::ProgressPhase phase, std::uint64_t done, std::uint64_t total) override;
  void HideProgress() override { progressShown = false; }

  // What the folder holds, by name: a file's bytes, or "<dir>".
  std::map<std::string, std::string> folder;
  std::map<std::string, std::uint64_t> lastWrites;
  bool folderMade = false;
  bool folderRemoved = false;
  bool setupRan = false;
  bool folderHeldSetupWhenRun = false;
  std::vector<pack::StubMessage> messages;
  std::set<pack::ProgressPhase> phasesShown;
  bool progressShown = false;
  bool progressShownWhenSetupRan = false;
  // What the machine answers.
  std::uint64_t freeSpace = 1ull << 40;
  int setupStatus = 0;
  std::uint32_t setupStartError = 0;
  std::string failWritingName;  // CreateNewFile of this name fails with 112

 private:
  MemorySource self_;
};

}  // namespace qz::test
