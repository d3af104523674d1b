// The stub's course on a machine in memory: the setup program's status
// passed on, the folder removed whatever the outcome and before any box,
// too little room refused before the folder is made, the progress bar.

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "tests/qzpack/PackFixtures.h"
#include "tools/qzpack/PackCheck.h"

namespace qz::test {
namespace {

using pack::StubMessage;

// The setup program's status passed on; too little room refused before the
// folder is made; a failed write or start removes the folder, then says so
// (unless silent). The folder is gone at the end whatever the outcome.
TEST(StubRun, StatusesAndTheFolderOfEachOutcome) {
  const Bytes file = PackedFile(SampleItems());
  pack::PackedFile packed;
  MemorySource source(file);
  ASSERT_EQ(pack::CheckPackedFile(source, *pack::NewOpenSslSha256(), packed), pack::PackFault::kNone);
  const std::uint64_t room = pack::RoomNeeded(packed);
  struct Case {
    const char* what;
    std::function<void(FakeStubSystem&)> machine;
    bool silent;
    int status;
    bool setupRan;
    std::vector<StubMessage> messages;
  };
  const Case cases[] = {
      {"finished", [](FakeStubSystem&) {}, false, 0, true, {}},
      {"failed", [](FakeStubSystem& s) { s.setupStatus = 1; }, false, 1, true, {}},
      {"left", [](FakeStubSystem& s) { s.setupStatus = 3; }, false, 3, true, {}},
      {"room to spare", [room](FakeStubSystem& s) { s.freeSpace = room; }, false, 0, true, {}},
      {"a byte short", [room](FakeStubSystem& s) { s.freeSpace = room - 1; }, false, pack::kExitNoRoom, false,
       {StubMessage::kNoRoom}},
      {"disk full", [](FakeStubSystem& s) { s.failWritingName = "OLVASSEL.TXT"; }, false, pack::kExitCannotExtract,
       false, {StubMessage::kCannotExtract}},
      {"start refused", [](FakeStubSystem& s) { s.setupStartError = 740; }, true, pack::kExitCannotExtract, true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeStubSystem system(file);
    c.machine(system);
    EXPECT_EQ(pack::RunStub(system, {.silent = c.silent}), c.status);
    EXPECT_EQ(system.folderMade, c.status != pack::kExitNoRoom);
    EXPECT_EQ(system.folderRemoved, system.folderMade);
    EXPECT_EQ(system.setupRan, c.setupRan);
    EXPECT_EQ(system.folderHeldSetupWhenRun, c.setupRan);
    EXPECT_EQ(system.messages, c.messages);
  }
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
