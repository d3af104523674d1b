// The access layer's requests, as an engine that records them sees them.

#include <gtest/gtest.h>

#include <cstring>
#include <deque>

#include "btrieve/BtrieveFile.h"

namespace qz::test {
namespace {

struct Seen {
  std::uint16_t operation;
  void* block;
  void* data;
  std::uint32_t lengthSent;
  void* key;
  int keyLength;
  int keyNumber;
  bool dataCleared;  // the first 64 bytes of the data buffer were zero
};

class RecordingEngine : public platform::BtrieveEngine {
 public:
  std::vector<Seen> seen;
  std::deque<std::uint16_t> statuses;  // to answer, then 0

  std::uint16_t Call(std::uint16_t operation, void* block, void* data, std::uint32_t* length, void* key,
                     std::uint8_t keyLength, std::int8_t keyNumber) override {
    static const std::uint8_t zeros[64] = {};
    bool cleared = data && *length >= 64 && std::memcmp(data, zeros, 64) == 0;
    seen.push_back({operation, block, data, *length, key, keyLength, keyNumber, cleared});
    if (operation == 15) {
      std::memset(data, 0x5A, 64);
      *length = 80;
    }
    std::uint16_t status = statuses.empty() ? 0 : statuses.front();
    if (!statuses.empty()) statuses.pop_front();
    return status;
  }
};

TEST(BtrieveFileTest, OpenIssuesOpenThenExactlyOneStatAndCloseSendsNoData) {
  RecordingEngine engine;
  auto file = std::make_unique<BtrieveFile>(engine);
  const char* path = "C:\\APP\\A.DAT\\CIKK.DAT";
  ASSERT_EQ(file->Open(path), 0);
  ASSERT_EQ(engine.seen.size(), 2u);
  const Seen open = engine.seen[0];
  EXPECT_EQ(open.operation, 0);
  EXPECT_EQ(open.key, path) << "the path itself, not a copy";
  EXPECT_EQ(open.lengthSent, 0u);
  EXPECT_EQ(*static_cast<const char*>(open.data), '\0') << "an empty owner name";
  EXPECT_EQ(open.keyLength, 255);
  EXPECT_EQ(open.keyNumber, 0);
  const Seen stat = engine.seen[1];
  EXPECT_EQ(stat.operation, 15);
  EXPECT_EQ(stat.data, file->statBuffer());
  EXPECT_EQ(stat.lengthSent, 33455u);
  EXPECT_TRUE(stat.dataCleared) << "the Stat buffer is cleared first";
  EXPECT_EQ(stat.keyLength, 255);
  EXPECT_EQ(stat.keyNumber, 0);
  EXPECT_EQ(file->dataLength(), 80u) << "the length the engine returned stays";

  // One object serves file after file with one position block.
  ASSERT_EQ(file->Call(BtrieveFile::kClose), 0);
  ASSERT_EQ(file->Open("C:\\b.dat"), 0);
  ASSERT_EQ(file->Call(BtrieveFile::kClose), 0);
  ASSERT_EQ(engine.seen.size(), 6u);
  const std::uint16_t operations[] = {0, 15, 1, 0, 15, 1};
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(engine.seen[i].operation, operations[i]);
    EXPECT_EQ(engine.seen[i].block, open.block);
  }
  const Seen& close = engine.seen[2];
  EXPECT_EQ(close.data, nullptr);
  EXPECT_EQ(close.lengthSent, 0u);
  EXPECT_EQ(close.key, stat.key) << "the object's key buffer";
  EXPECT_EQ(close.keyNumber, 0);
}

TEST(BtrieveFileTest, FailuresAndWhetherTheEngineHoldsTheFile) {
  RecordingEngine engine;
  auto file = std::make_unique<BtrieveFile>(engine);
  engine.statuses = {12};
  EXPECT_EQ(file->Open("C:\\missing.dat"), 12);
  EXPECT_EQ(engine.seen.size(), 1u) << "no Stat after a failed Open";
  EXPECT_FALSE(file->IsOpen());

  engine.statuses = {0, 30};
  EXPECT_EQ(file->Open("C:\\bad.dat"), 30) << "the Stat status";
  EXPECT_TRUE(file->IsOpen()) << "the engine holds the file until it is closed";
  EXPECT_EQ(file->Call(BtrieveFile::kClose), 0);
  EXPECT_FALSE(file->IsOpen());

  std::uint8_t record[40] = {};
  file->SetRecordBuffer(record, sizeof record);
  engine.statuses = {9};
  EXPECT_EQ(file->Call(6), 9);
  EXPECT_EQ(engine.seen.back().data, record);
  EXPECT_EQ(engine.seen.back().lengthSent, 40u);
}

}  // namespace
}  // namespace qz::test
