#pragma once
// What the tests of the one-file medium pack and check with, in memory: a
// small stand-in stub (a PE32 image with the record's section), files of
// bytes, a signature's place as a signing tool makes it, and a stub
// machine that records what the stub did.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tools/qzpack/Bytes.h"
#include "tools/qzpack/PackFormat.h"
#include "tools/qzpack/PackWriter.h"
#include "tools/qzpack/Packer.h"
#include "tools/qzpack/PeImage.h"
#include "tools/qzpack/StubRun.h"
#include "tools/qzpack/native/OpenSslSha256.h"

namespace qz::test {

using Bytes = std::vector<unsigned char>;

class MemorySource : public pack::ByteSource {
 public:
  explicit MemorySource(Bytes bytes) : bytes_(std::move(bytes)) {}
  std::uint64_t Size() override { return bytes_.size(); }
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
    if (offset > bytes_.size() || size > bytes_.size() - offset) return false;
    std::memcpy(buffer, bytes_.data() + offset, size);
    return true;
  }

 private:
  Bytes bytes_;
};

class MemoryTarget : public pack::OutputTarget {
 public:
  bool WriteAt(std::uint64_t offset, const void* data, std::size_t size) override {
    if (bytes.size() < offset + size) bytes.resize(offset + size);
    std::memcpy(bytes.data() + offset, data, size);
    return true;
  }
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
    if (offset + size > bytes.size()) return false;
    std::memcpy(buffer, bytes.data() + offset, size);
    return true;
  }
  bool SetSize(std::uint64_t size) override {
    bytes.resize(size);
    return true;
  }
  Bytes bytes;
};

// A PE32 image: headers, a ".text" section of `codeSize` bytes and the
// ".qzpack" section with an empty record, as the linker lays out the stub.
inline Bytes MakeStubImage(std::uint32_t codeSize = 0x200) {
  constexpr std::uint32_t kAlignment = 0x200, kPe = 0x40, kOptional = kPe + 24, kSections = kOptional + 0xE0;
  const std::uint32_t packOffset = kAlignment + codeSize;
  Bytes image(packOffset + kAlignment, 0);
  auto section = [&image](std::uint32_t header, const char* name, std::uint32_t offset, std::uint32_t size) {
    std::memcpy(&image[header], name, std::strlen(name));
    for (std::uint32_t field : {8, 16}) pack::Put32(&image[header + field], size);         // virtual, raw size
    for (std::uint32_t field : {12, 20}) pack::Put32(&image[header + field], offset);      // address, raw offset
  };
  image[0] = 'M';
  image[1] = 'Z';
  pack::Put32(&image[0x3C], kPe);
  std::memcpy(&image[kPe], "PE\0\0", 4);
  pack::Put16(&image[kPe + 4], 0x14C);  // i386
  pack::Put16(&image[kPe + 6], 2);      // sections
  pack::Put16(&image[kPe + 20], 0xE0);  // optional header's size
  pack::Put16(&image[kOptional], 0x10B);              // PE32
  pack::Put32(&image[kOptional + 60], kAlignment);    // SizeOfHeaders
  pack::Put32(&image[kOptional + 92], 16);            // data directories
  section(kSections, ".text", kAlignment, codeSize);
  section(kSections + 40, pack::kRecordSection, packOffset, kAlignment);
  const auto record = pack::EmptyRecord();
  std::copy(record.begin(), record.end(), image.begin() + packOffset);
  for (std::uint32_t i = 0; i < codeSize; ++i) image[kAlignment + i] = static_cast<unsigned char>(i * 7 + 1);
  return image;
}

inline pack::PeLayout LayoutOf(const Bytes& file) {
  MemorySource source(file);
  pack::PeLayout layout;
  EXPECT_TRUE(pack::ReadPeLayout(source, pack::kRecordSection, layout));
  return layout;
}

// The record's place in a packed file of the stand-in stub.
inline std::uint64_t RecordOffset(const Bytes& file) { return LayoutOf(file).sectionOffset; }

// Appends a certificate table of `size` bytes and points the image's
// certificate entry at it, as osslsigncode does.
inline void AppendSignature(Bytes& file, std::uint32_t size = 0x300) {
  const std::uint32_t entry = LayoutOf(file).certificateEntryOffset;
  pack::Put32(&file[entry], static_cast<std::uint32_t>(file.size()));
  pack::Put32(&file[entry + 4], size);
  file.resize(file.size() + size, 0x5A);
}

// A file or folder to pack: a folder when `directory` is set.
struct Item {
  std::string name;
  std::string data;
  bool directory = false;
  std::uint64_t lastWrite = 132000000000000000ull;
};

// Items as the writer takes them.
inline std::vector<pack::PackItem> PackItems(const std::vector<Item>& items) {
  std::vector<pack::PackItem> packItems;
  for (const Item& item : items) {
    pack::PackItem packItem;
    packItem.kind = item.directory ? pack::EntryKind::kDirectory : pack::EntryKind::kFile;
    packItem.name = item.name;
    packItem.lastWrite = item.lastWrite;
    if (!item.directory) {
      auto bytes = std::make_shared<MemorySource>(Bytes(item.data.begin(), item.data.end()));
      packItem.open = [bytes]() { return pack::ReadFromStart(bytes); };
    }
    packItems.push_back(std::move(packItem));
  }
  return packItems;
}

// The stand-in stub with `items` packed after it in their order, names as
// given (the setup program is one of the items, or missing).
inline Bytes PackedFile(const std::vector<Item>& items, const Bytes& stub = MakeStubImage()) {
  MemorySource stubSource(stub);
  MemoryTarget out;
  pack::PackSummary summary;
  std::string problem;
  EXPECT_TRUE(pack::WritePackedFile(stubSource, PackItems(items), out, *pack::NewOpenSslSha256(), summary, problem))
      << problem;
  return out.bytes;
}

// A small medium: the setup program, a folder, files of text and of bytes
// that do not deflate.
inline std::vector<Item> SampleItems() {
  std::string noise, text;
  unsigned state = 12345;
  for (int i = 0; i < 70000; ++i) noise += static_cast<char>((state = state * 1103515245 + 12345) >> 16);
  for (int i = 0; i < 2000; ++i) text += "Raktári cikk " + std::to_string(i) + "\r\n";
  return {{"QZSetup.exe", "MZ the setup program"},
          {"ADATOK.DAT", "", true},
          {"ADATOK.DAT\\CIKK.DAT", noise},
          {"ADATOK.DAT\\ÜRES.DAT", ""},
          {"OLVASSEL.TXT", text, false, 133000000012345678ull}};
}

// The stub's machine in memory: the extraction folder as a map, and what
// was asked of it.
class FakeStubSystem : public pack::StubSystem {
 public:
  explicit FakeStubSystem(Bytes file) : self_(std::move(file)) {}

  pack::ByteSource& Self() override { return self_; }
  std::unique_ptr<pack::Sha256> NewSha256() override { return pack::NewOpenSslSha256(); }
  std::uint32_t FreeSpace(std::uint64_t& bytes) override {
    bytes = freeSpace;
    return 0;
  }
  std::uint32_t MakeFolder() override {
    folderMade = true;
    return 0;
  }
  std::uint32_t MakeDirectory(const std::string& name) override {
    if (!folderMade || folder.count(name)) return 183;
    folder[name] = "<dir>";
    return 0;
  }
  std::uint32_t CreateNewFile(const std::string& name, std::unique_ptr<pack::FileSink>& file) override {
    if (!folderMade || folder.count(name)) return 80;
    if (name == failWritingName) return 112;
    folder[name];
    file = std::make_unique<Sink>(*this, name);
    return 0;
  }
  std::uint32_t RunSetup(int& status) override {
    setupRan = true;
    folderHeldSetupWhenRun = folder.count(pack::kSetupProgram) != 0 && !folderRemoved;
    progressShownWhenSetupRan = progressShown;
    status = setupStatus;
    return setupStartError;
  }
  void RemoveFolder() override { folderRemoved = folderMade; }
  void ShowMessage(pack::StubMessage message, std::uint32_t) override {
    EXPECT_FALSE(folderMade && !folderRemoved) << "a box was shown while the extraction folder was there";
    messages.push_back(message);
  }
  void ShowProgress(pack::ProgressPhase phase, std::uint64_t done, std::uint64_t total) override {
    EXPECT_LE(done, total);
    progressShown = true;
    phasesShown.insert(phase);
  }
  void HideProgress() override { progressShown = false; }

  // What the folder holds, by name: a file's bytes, or "<dir>".
  std::map<std::string, std::string> folder;
  std::map<std::string, std::uint64_t> lastWrites;
  bool folderMade = false, folderRemoved = false, setupRan = false, folderHeldSetupWhenRun = false;
  std::vector<pack::StubMessage> messages;
  std::set<pack::ProgressPhase> phasesShown;
  bool progressShown = false, progressShownWhenSetupRan = false;
  // What the machine answers.
  std::uint64_t freeSpace = 1ull << 40;
  int setupStatus = 0;
  std::uint32_t setupStartError = 0;
  std::string failWritingName;  // CreateNewFile of this name fails with 112

 private:
  class Sink : public pack::FileSink {
   public:
    Sink(FakeStubSystem& system, std::string name) : system_(system), name_(std::move(name)) {}
    std::uint32_t Write(const void* data, std::size_t size) override {
      system_.folder[name_].append(static_cast<const char*>(data), size);
      return 0;
    }
    std::uint32_t Finish(std::uint64_t lastWrite) override {
      system_.lastWrites[name_] = lastWrite;
      return 0;
    }

   private:
    FakeStubSystem& system_;
    std::string name_;
  };
  MemorySource self_;
};

}  // namespace qz::test
