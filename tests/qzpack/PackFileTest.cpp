// The packed file's format and checks, in memory: what is packed comes out
// as it went in; every kind of damage, a crafted name and a file past 2 GiB
// are told apart before anything is extracted.

#include <gtest/gtest.h>

#include <functional>

#include "tests/qzpack/PackFixtures.h"
#include "tools/qzpack/PackCheck.h"

namespace qz::test {
namespace {

using pack::PackFault;

PackFault Check(const Bytes& file, pack::PackedFile* out = nullptr) {
  MemorySource source(file);
  pack::PackedFile packed;
  PackFault fault = pack::CheckPackedFile(source, *pack::NewOpenSslSha256(), packed);
  if (out) *out = packed;
  return fault;
}

// Extracted as packed, with its times; deflated where that shrinks a file;
// the payload ends on the signature's alignment, and a signature appended as
// signing tools do leaves the file intact.
TEST(PackFile, WhatIsPackedIsExtractedWithItsTimesAndASignatureKeepsItIntact) {
  const std::vector<Item> items = SampleItems();
  Bytes file = PackedFile(items);
  pack::PackedFile packed;
  ASSERT_EQ(Check(file, &packed), PackFault::kNone);
  std::map<std::string, pack::Method> methods;
  for (const auto& entry : packed.entries) methods[entry.name] = entry.method;
  EXPECT_EQ(methods["OLVASSEL.TXT"], pack::Method::kDeflate);
  EXPECT_EQ(methods["ADATOK.DAT\\CIKK.DAT"], pack::Method::kStored);  // random bytes
  EXPECT_EQ(methods["ADATOK.DAT\\ÜRES.DAT"], pack::Method::kStored);
  EXPECT_EQ(file.size() % 8, 0u);
  EXPECT_EQ(packed.record.payloadOffset + packed.record.payloadLength, file.size());

  AppendSignature(file);
  EXPECT_EQ(Check(file), PackFault::kNone);
  FakeStubSystem system(file);
  ASSERT_EQ(pack::RunStub(system, {}), 0);
  EXPECT_TRUE(system.folderHeldSetupWhenRun);
  for (const Item& item : items) {
    EXPECT_TRUE(system.folder[item.name] == (item.directory ? "<dir>" : item.data)) << item.name;
    EXPECT_EQ(system.lastWrites[item.name], item.directory ? 0 : item.lastWrite) << item.name;
  }
  EXPECT_TRUE(system.folderRemoved);
}

TEST(PackFile, TheWriterTakesOnlyAStubAsLinked) {
  auto refused = [](Bytes stub, const char* why) {
    MemorySource source(std::move(stub));
    MemoryTarget out;
    pack::PackSummary summary;
    std::string problem;
    EXPECT_FALSE(pack::WritePackedFile(source, PackItems(SampleItems()), out, *pack::NewOpenSslSha256(), summary,
                                       problem));
    EXPECT_NE(problem.find(why), std::string::npos) << problem;
  };
  Bytes signedStub = MakeStubImage();
  AppendSignature(signedStub);
  refused(signedStub, "signed");
  Bytes withSymbols = MakeStubImage();
  withSymbols.resize(withSymbols.size() + 100);
  refused(withSymbols, "after its image");
  refused(PackedFile(SampleItems()), "packed file already");
  Bytes noRecord = MakeStubImage();
  noRecord[RecordOffset(noRecord)] ^= 1;
  refused(noRecord, "no pack record");
}

// A damaged file: how it is damaged, and what the check must say.
struct Damage {
  const char* name;
  std::function<void(Bytes&, const pack::PackedFile&)> apply;
  bool signedFile;
};

class DamagedFile : public ::testing::TestWithParam<Damage> {};

std::uint64_t FileDataAt(const pack::PackedFile& packed, const char* name) {
  for (const auto& entry : packed.entries) {
    if (entry.name == name) return packed.record.payloadOffset + entry.dataOffset + entry.storedSize / 2;
  }
  ADD_FAILURE() << "no entry " << name;
  return 0;
}

TEST_P(DamagedFile, IsRefusedBeforeAnythingIsExtracted) {
  Bytes file = PackedFile(SampleItems());
  pack::PackedFile packed;
  ASSERT_EQ(Check(file, &packed), PackFault::kNone);
  if (GetParam().signedFile) AppendSignature(file);
  GetParam().apply(file, packed);
  EXPECT_NE(Check(file), PackFault::kNone);

  FakeStubSystem shown(file);
  EXPECT_EQ(pack::RunStub(shown, {}), pack::kExitDamaged);
  EXPECT_FALSE(shown.folderMade);
  EXPECT_EQ(shown.messages, std::vector<pack::StubMessage>{pack::StubMessage::kDamaged});
  FakeStubSystem silent(file);
  EXPECT_EQ(pack::RunStub(silent, {.silent = true}), pack::kExitDamaged);
  EXPECT_FALSE(silent.folderMade);
  EXPECT_TRUE(silent.messages.empty());
}

void Flip(Bytes& file, std::uint64_t at) { file.at(at) ^= 0x10; }

INSTANTIATE_TEST_SUITE_P(
    Damage, DamagedFile,
    ::testing::Values(
        Damage{"CutInTheStubsHeaders", [](Bytes& f, const pack::PackedFile&) { f.resize(0x100); }, false},
        Damage{"CutInTheRecord", [](Bytes& f, const pack::PackedFile& p) { f.resize(p.layout.sectionOffset + 40); },
               false},
        Damage{"CutInTheIndex", [](Bytes& f, const pack::PackedFile& p) { f.resize(p.record.payloadOffset + 30); },
               false},
        Damage{"CutInAFile", [](Bytes& f, const pack::PackedFile& p) { f.resize(FileDataAt(p, "OLVASSEL.TXT")); },
               false},
        Damage{"CutByOneByte", [](Bytes& f, const pack::PackedFile&) { f.pop_back(); }, true},
        Damage{"PayloadByte", [](Bytes& f, const pack::PackedFile& p) { Flip(f, FileDataAt(p, "OLVASSEL.TXT")); },
               true},
        Damage{"IndexByte", [](Bytes& f, const pack::PackedFile& p) { Flip(f, p.record.payloadOffset + 20); },
               false},
        Damage{"LengthsLowByte", [](Bytes& f, const pack::PackedFile& p) { Flip(f, p.layout.sectionOffset + 24); },
               true},
        Damage{"LengthsHighByte",
               [](Bytes& f, const pack::PackedFile& p) { Flip(f, p.layout.sectionOffset + 24 + 5); }, false},
        Damage{"OffsetByte", [](Bytes& f, const pack::PackedFile& p) { Flip(f, p.layout.sectionOffset + 17); },
               false},
        Damage{"HashByte", [](Bytes& f, const pack::PackedFile& p) { Flip(f, p.layout.sectionOffset + 40); }, true},
        Damage{"AppendedAfterTheSignature", [](Bytes& f, const pack::PackedFile&) { f.push_back(0); }, true},
        Damage{"AppendedToAnUnsignedFile",
               [](Bytes& f, const pack::PackedFile&) { f.insert(f.end(), 4096, 'x'); }, false}),
    [](const ::testing::TestParamInfo<Damage>& damage) { return std::string(damage.param.name); });

class CraftedName : public ::testing::TestWithParam<const char*> {};

// A writer that does not check names, as an attacker's would: the stub
// refuses the whole file and makes no folder.
TEST_P(CraftedName, IsRefusedBeforeAFolderIsMade) {
  const Bytes file = PackedFile({{"QZSetup.exe", "MZ"}, {GetParam(), "evil"}});
  pack::PackedFile packed;
  EXPECT_EQ(Check(file, &packed), PackFault::kRefusedName);
  EXPECT_EQ(packed.faultName, GetParam());
  FakeStubSystem system(file);
  EXPECT_EQ(pack::RunStub(system, {.silent = true}), pack::kExitDamaged);
  EXPECT_FALSE(system.folderMade);
}

INSTANTIATE_TEST_SUITE_P(Names, CraftedName,
                         ::testing::Values("C:\\evil.txt", "\\evil.txt", "\\\\server\\share\\evil.txt",
                                           "..\\evil.txt", "ADATOK.DAT\\..\\..\\evil.txt", "NUL", "con.txt",
                                           "COM1 .log", "evil.txt:stream", "a/../evil.txt", "evil.txt."));

TEST(PackFile, AnIndexThatDoesNotDescribeATreeIsRefused) {
  EXPECT_EQ(Check(PackedFile({{"QZSetup.exe", "MZ"}, {"DIR\\file.txt", "x"}})), PackFault::kIndex);
  EXPECT_EQ(Check(PackedFile({{"QZSetup.exe", "MZ"}, {"a.txt", "x"}, {"A.TXT", "y"}})), PackFault::kIndex);
  EXPECT_EQ(Check(PackedFile({{"setup.ini", "x"}})), PackFault::kIndex);  // no setup program
}

// The packed file seen with `shift` zero bytes more at the end of the stub's
// image: the payload, its record and the certificate table move up, as in a
// file of several gigabytes, without one being written.
class ShiftedSource : public pack::ByteSource {
 public:
  ShiftedSource(const Bytes& file, std::uint64_t shift) : shift_(shift) {
    const pack::PeLayout layout = LayoutOf(file);
    imageEnd_ = layout.imageEnd;
    image_.assign(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(imageEnd_));
    rest_.assign(file.begin() + static_cast<std::ptrdiff_t>(imageEnd_), file.end());
    // The record's section is the last one: it grows by the shift.
    const std::uint32_t sectionHeader = 0x40 + 24 + 0xE0 + 40;
    pack::Put32(&image_[sectionHeader + 16], static_cast<std::uint32_t>(layout.sectionSize + shift));
    pack::Put64(&image_[layout.sectionOffset + 16], imageEnd_ + shift);
    if (layout.certificateSize != 0) {
      pack::Put32(&image_[layout.certificateEntryOffset], static_cast<std::uint32_t>(layout.certificateOffset + shift));
    }
  }
  std::uint64_t Size() override { return imageEnd_ + shift_ + rest_.size(); }
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
    if (offset + size > Size()) return false;
    auto* out = static_cast<unsigned char*>(buffer);
    for (std::size_t i = 0; i < size; ++i) out[i] = At(offset + i);
    return true;
  }

 private:
  unsigned char At(std::uint64_t offset) const {
    if (offset < imageEnd_) return image_[offset];
    if (offset < imageEnd_ + shift_) return 0;
    return rest_[offset - imageEnd_ - shift_];
  }
  std::uint64_t shift_, imageEnd_ = 0;
  Bytes image_, rest_;
};

class LargeFile : public FakeStubSystem {
 public:
  LargeFile(const Bytes& file, std::uint64_t shift) : FakeStubSystem({}), source_(file, shift) {}
  pack::ByteSource& Self() override { return source_; }

 private:
  ShiftedSource source_;
};

TEST(PackFile, APayloadPast2GiBAndUpTo4GiBIsReadAtItsOffsets) {
  Bytes file = PackedFile(SampleItems());
  AppendSignature(file);
  const std::uint64_t payloadEnd = file.size() - 0x300;
  const std::uint64_t toLimit = pack::kMaxPayloadEnd - payloadEnd;
  for (std::uint64_t shift : std::vector<std::uint64_t>{(1ull << 31) + 0x200, toLimit}) {
    LargeFile system(file, shift);
    EXPECT_EQ(pack::RunStub(system, {.silent = true}), 0) << shift;
    for (const Item& item : SampleItems()) {
      EXPECT_TRUE(system.folder[item.name] == (item.directory ? "<dir>" : item.data)) << item.name << " at " << shift;
    }
  }
  // Past what a certificate table's 32-bit offset reaches.
  LargeFile beyond(file, toLimit + 8);
  EXPECT_EQ(pack::RunStub(beyond, {.silent = true}), pack::kExitDamaged);
  EXPECT_FALSE(beyond.folderMade);
}

}  // namespace
}  // namespace qz::test
