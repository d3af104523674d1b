#include "tests/qzpack/PackFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "tools/qzpack/PackFormat.h"
#include "tools/qzpack/PeImage.h"
#include "tools/qzpack/native/OpenSslSha256.h"

namespace qz::test {
namespace {

using pack::Put16;
using pack::Put32;

constexpr std::uint32_t kFileAlignment = 0x200;
constexpr std::uint32_t kPeOffset = 0x40;
constexpr std::uint32_t kOptionalOffset = kPeOffset + 24;
constexpr std::uint16_t kOptionalSize = 0xE0;
constexpr std::uint32_t kSectionTable = kOptionalOffset + kOptionalSize;

void PutSection(unsigned char* header, const char* name, std::uint32_t rawOffset, std::uint32_t rawSize) {
  std::memcpy(header, name, std::strlen(name));
  Put32(header + 8, rawSize);       // VirtualSize
  Put32(header + 12, rawOffset);    // VirtualAddress
  Put32(header + 16, rawSize);      // SizeOfRawData
  Put32(header + 20, rawOffset);    // PointerToRawData
}

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

class StringStream : public pack::InputStream {
 public:
  explicit StringStream(std::string data) : data_(std::move(data)) {}
  bool Read(void* buffer, std::size_t size, std::size_t& got) override {
    got = std::min(size, data_.size() - at_);
    std::memcpy(buffer, data_.data() + at_, got);
    at_ += got;
    return true;
  }

 private:
  std::string data_;
  std::size_t at_ = 0;
};

}  // namespace

Bytes MakeStubImage(std::uint32_t codeSize) {
  const std::uint32_t textOffset = kFileAlignment;
  const std::uint32_t packOffset = textOffset + codeSize;
  Bytes image(packOffset + kFileAlignment, 0);
  image[0] = 'M';
  image[1] = 'Z';
  Put32(&image[0x3C], kPeOffset);
  std::memcpy(&image[kPeOffset], "PE\0\0", 4);
  Put16(&image[kPeOffset + 4], 0x14C);           // i386
  Put16(&image[kPeOffset + 6], 2);               // sections
  Put16(&image[kPeOffset + 20], kOptionalSize);
  Put16(&image[kOptionalOffset], 0x10B);          // PE32
  Put32(&image[kOptionalOffset + 60], kFileAlignment);  // SizeOfHeaders
  Put32(&image[kOptionalOffset + 92], 16);        // data directories
  PutSection(&image[kSectionTable], ".text", textOffset, codeSize);
  PutSection(&image[kSectionTable + 40], pack::kRecordSection, packOffset, kFileAlignment);
  const auto record = pack::EmptyRecord();
  std::copy(record.begin(), record.end(), image.begin() + packOffset);
  for (std::uint32_t i = 0; i < codeSize; ++i) image[textOffset + i] = static_cast<unsigned char>(i * 7 + 1);
  return image;
}

void AppendSignature(Bytes& file, std::uint32_t size) {
  MemorySource source(file);
  pack::PeLayout layout;
  ASSERT_TRUE(pack::ReadPeLayout(source, pack::kRecordSection, layout));
  const std::uint32_t offset = static_cast<std::uint32_t>(file.size());
  Put32(&file[layout.certificateEntryOffset], offset);
  Put32(&file[layout.certificateEntryOffset + 4], size);
  file.resize(file.size() + size, 0x5A);
}

bool MemorySource::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
  if (offset > bytes_.size() || size > bytes_.size() - offset) return false;
  std::memcpy(buffer, bytes_.data() + offset, size);
  return true;
}

bool MemoryTarget::WriteAt(std::uint64_t offset, const void* data, std::size_t size) {
  if (bytes_.size() < offset + size) bytes_.resize(offset + size);
  std::memcpy(bytes_.data() + offset, data, size);
  return true;
}

bool MemoryTarget::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
  if (offset + size > bytes_.size()) return false;
  std::memcpy(buffer, bytes_.data() + offset, size);
  return true;
}

bool MemoryTarget::SetSize(std::uint64_t size) {
  bytes_.resize(size);
  return true;
}

std::vector<pack::PackItem> PackItems(const std::vector<Item>& items) {
  std::vector<pack::PackItem> packItems;
  for (const Item& item : items) {
    pack::PackItem packItem;
    packItem.kind = item.directory ? pack::EntryKind::kDirectory : pack::EntryKind::kFile;
    packItem.name = item.name;
    packItem.lastWrite = item.lastWrite;
    if (!item.directory) {
      packItem.open = [data = item.data]() { return std::make_unique<StringStream>(data); };
    }
    packItems.push_back(std::move(packItem));
  }
  return packItems;
}

Bytes PackedFile(const std::vector<Item>& items, const Bytes& stub) {
  MemorySource stubSource(stub);
  MemoryTarget out;
  pack::PackSummary summary;
  std::string problem;
  auto sha256 = pack::NewOpenSslSha256();
  EXPECT_TRUE(pack::WritePackedFile(stubSource, PackItems(items), out, *sha256, summary, problem)) << problem;
  return out.bytes();
}

std::vector<Item> SampleItems() {
  std::string noise;
  unsigned state = 12345;
  for (int i = 0; i < 70000; ++i) {
    state = state * 1103515245 + 12345;
    noise += static_cast<char>(state >> 16);
  }
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "Raktári cikk " + std::to_string(i) + "\r\n";
  Item setup{"QZSetup.exe", "MZ the setup program"};
  Item data{"ADATOK.DAT", "", true};
  Item table{"ADATOK.DAT\\CIKK.DAT", noise};
  Item empty{"ADATOK.DAT\\ÜRES.DAT", ""};
  Item readme{"OLVASSEL.TXT", text, false, 133000000012345678ull};
  return {setup, data, table, empty, readme};
}

std::uint64_t RecordOffset(const Bytes& file) {
  MemorySource source(file);
  pack::PeLayout layout;
  EXPECT_TRUE(pack::ReadPeLayout(source, pack::kRecordSection, layout));
  return layout.sectionOffset;
}

std::unique_ptr<pack::Sha256> FakeStubSystem::NewSha256() { return pack::NewOpenSslSha256(); }

std::uint32_t FakeStubSystem::FreeSpace(std::uint64_t& bytes) {
  bytes = freeSpace;
  return 0;
}

std::uint32_t FakeStubSystem::MakeFolder() {
  folderMade = true;
  return 0;
}

std::uint32_t FakeStubSystem::MakeDirectory(const std::string& name) {
  if (!folderMade || folder.count(name)) return 183;
  folder[name] = "<dir>";
  return 0;
}

std::uint32_t FakeStubSystem::CreateNewFile(const std::string& name, std::unique_ptr<pack::FileSink>& file) {
  if (!folderMade || folder.count(name)) return 80;
  if (name == failWritingName) return 112;
  folder[name];
  file = std::make_unique<Sink>(*this, name);
  return 0;
}

std::uint32_t FakeStubSystem::RunSetup(int& status) {
  setupRan = true;
  folderHeldSetupWhenRun = folder.count(pack::kSetupProgram) != 0 && !folderRemoved;
  progressShownWhenSetupRan = progressShown;
  status = setupStatus;
  return setupStartError;
}

void FakeStubSystem::RemoveFolder() {
  if (folderMade) folderRemoved = true;
}

void FakeStubSystem::ShowMessage(pack::StubMessage message, std::uint32_t) {
  EXPECT_FALSE(folderMade && !folderRemoved) << "a box was shown while the extraction folder was there";
  messages.push_back(message);
}

void FakeStubSystem::ShowProgress(pack::ProgressPhase phase, std::uint64_t done, std::uint64_t total) {
  EXPECT_LE(done, total);
  progressShown = true;
  phasesShown.insert(phase);
}

}  // namespace qz::test
