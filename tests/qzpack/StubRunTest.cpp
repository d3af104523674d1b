// The stub's course on a machine in memory: the setup program's status
// passed on, the folder removed whatever the outcome and before any box,
// too little room refused before the folder is made, the progress bar.

#include <gtest/gtest.h>

#include <random>

#include "tests/qzpack/PackFixtures.h"
#include "tools/qzpack/PackCheck.h"
#include "tools/qzpack/native/OpenSslSha256.h"

namespace qz::test {
namespace {

using pack::StubMessage;

TEST(StubRun, PassesTheSetupProgramsStatusOnAndRemovesTheFolderAfterIt) {
  // Finished, failed, left by the user.
  for (int status : {0, 1, 3}) {
    FakeStubSystem system(PackedFile(SampleItems()));
    system.setupStatus = status;
    EXPECT_EQ(pack::RunStub(system, {}), status);
    EXPECT_TRUE(system.folderHeldSetupWhenRun);
    EXPECT_TRUE(system.folderRemoved);
    EXPECT_TRUE(system.messages.empty());
  }
}

TEST(StubRun, TooLittleRoomIsRefusedBeforeTheFolderIsMade) {
  const Bytes file = PackedFile(SampleItems());
  pack::PackedFile packed;
  MemorySource source(file);
  ASSERT_EQ(pack::CheckPackedFile(source, *pack::NewOpenSslSha256(), packed), pack::PackFault::kNone);
  FakeStubSystem tight(file);
  tight.freeSpace = pack::RoomNeeded(packed) - 1;
  EXPECT_EQ(pack::RunStub(tight, {}), pack::kExitNoRoom);
  EXPECT_FALSE(tight.folderMade);
  EXPECT_EQ(tight.messages, std::vector<StubMessage>{StubMessage::kNoRoom});

  FakeStubSystem enough(file);
  enough.freeSpace = pack::RoomNeeded(packed);
  EXPECT_EQ(pack::RunStub(enough, {}), 0);
}

TEST(StubRun, AFailedWriteOrStartRemovesTheFolderThenSaysSo) {
  FakeStubSystem full(PackedFile(SampleItems()));
  full.failWritingName = "OLVASSEL.TXT";
  EXPECT_EQ(pack::RunStub(full, {}), pack::kExitCannotExtract);
  EXPECT_FALSE(full.setupRan);
  EXPECT_TRUE(full.folderRemoved);
  EXPECT_EQ(full.messages, std::vector<StubMessage>{StubMessage::kCannotExtract});

  FakeStubSystem refused(PackedFile(SampleItems()));
  refused.setupStartError = 740;
  EXPECT_EQ(pack::RunStub(refused, {.silent = true}), pack::kExitCannotExtract);
  EXPECT_TRUE(refused.folderRemoved);
  EXPECT_TRUE(refused.messages.empty());
}

// A file whose deflated bytes are broken but whose hash was made over them
// (a faulty packer, a crafted file): found while extracting, the folder goes.
TEST(StubRun, ABrokenStreamUnderAGoodHashStopsTheExtraction) {
  Bytes file = PackedFile(SampleItems());
  MemorySource source(file);
  pack::PackedFile packed;
  ASSERT_EQ(pack::CheckPackedFile(source, *pack::NewOpenSslSha256(), packed), pack::PackFault::kNone);
  for (const auto& entry : packed.entries) {
    if (entry.method == pack::Method::kDeflate) file[packed.record.payloadOffset + entry.dataOffset + 2] ^= 0xFF;
  }
  auto sha256 = pack::NewOpenSslSha256();
  sha256->Update(file.data() + packed.record.payloadOffset, packed.record.payloadLength);
  sha256->Final(file.data() + RecordOffset(file) + 32);

  FakeStubSystem system(file);
  EXPECT_EQ(pack::RunStub(system, {}), pack::kExitDamaged);
  EXPECT_TRUE(system.folderMade);
  EXPECT_TRUE(system.folderRemoved);
  EXPECT_FALSE(system.setupRan);
  EXPECT_EQ(system.messages, std::vector<StubMessage>{StubMessage::kDamaged});
}

TEST(StubRun, ALargeFileIsCheckedAndExtractedUnderAProgressBarUnlessSilent) {
  // The file's size decides: bytes that do not deflate, past the threshold.
  std::vector<Item> items = SampleItems();
  std::mt19937 random(7);
  std::string noise(pack::kProgressThreshold, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  items.push_back({"NAGY.DAT", noise});
  const Bytes large = PackedFile(items);

  FakeStubSystem bar(large);
  EXPECT_EQ(pack::RunStub(bar, {}), 0);
  EXPECT_EQ(bar.phasesShown, (std::set<pack::ProgressPhase>{pack::ProgressPhase::kChecking,
                                                             pack::ProgressPhase::kExtracting}));
  EXPECT_FALSE(bar.progressShownWhenSetupRan);

  FakeStubSystem silent(large);
  EXPECT_EQ(pack::RunStub(silent, {.silent = true}), 0);
  EXPECT_TRUE(silent.phasesShown.empty());

  FakeStubSystem small(PackedFile(SampleItems()));
  EXPECT_EQ(pack::RunStub(small, {}), 0);
  EXPECT_TRUE(small.phasesShown.empty());
}

}  // namespace
}  // namespace qz::test
