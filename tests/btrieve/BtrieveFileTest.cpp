// The access layer's requests, as an engine that records them sees them.

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <vector>

#include "btrieve/BtrieveFile.h"

namespace qz::test {
namespace {

struct Seen {
  std::uint16_t operation;
  void* block;
  void* data;
  std::uint32_t lengthSent;
  void* key;
  std::uint8_t keyLength;
  std::int8_t keyNumber;
  std::vector<std::uint8_t> dataSeen;  // the first bytes of the data buffer
};

class RecordingEngine : public platform::BtrieveEngine {
 public:
  std::vector<Seen> seen;
  std::deque<std::uint16_t> answers;  // statuses to give, 0 when none are left
  std::uint32_t returnedLength = 0;

  std::uint16_t Call(std::uint16_t operation, void* block, void* data, std::uint32_t* length, void* key,
                     std::uint8_t keyLength, std::int8_t keyNumber) override {
    Seen s{operation, block, data, *length, key, keyLength, keyNumber, {}};
    if (data && *length > 0) {
      auto* bytes = static_cast<std::uint8_t*>(data);
      s.dataSeen.assign(bytes, bytes + std::min<std::uint32_t>(*length, 64));
    }
    seen.push_back(s);
    if (operation == 15) {
      std::memset(data, 0x5A, 20);
      *length = returnedLength;
    }
    std::uint16_t status = answers.empty() ? 0 : answers.front();
    if (!answers.empty()) answers.pop_front();
    return status;
  }
};

TEST(BtrieveFileTest, OpenIssuesOpenThenExactlyOneStat) {
  RecordingEngine engine;
  engine.returnedLength = 80;
  auto file = std::make_unique<BtrieveFile>(engine);
  const char* path = "C:\\APP\\A.DAT\\CIKK.DAT";
  EXPECT_EQ(file->Open(path), 0);
  ASSERT_EQ(engine.seen.size(), 2u);

  const Seen& open = engine.seen[0];
  EXPECT_EQ(open.operation, 0);
  EXPECT_EQ(open.key, path) << "the path itself, not a copy";
  EXPECT_EQ(open.lengthSent, 0u);
  ASSERT_NE(open.data, nullptr);
  EXPECT_EQ(*static_cast<const char*>(open.data), '\0') << "an empty owner name";
  EXPECT_EQ(open.keyLength, 255);
  EXPECT_EQ(open.keyNumber, 0);

  const Seen& stat = engine.seen[1];
  EXPECT_EQ(stat.operation, 15);
  EXPECT_EQ(stat.block, open.block) << "one position block for every request";
  EXPECT_EQ(stat.data, file->statBuffer());
  EXPECT_EQ(stat.lengthSent, 33455u);
  EXPECT_EQ(stat.dataSeen, std::vector<std::uint8_t>(64, 0)) << "the Stat buffer is cleared first";
  EXPECT_EQ(stat.keyLength, 255);
  EXPECT_EQ(stat.keyNumber, 0);
  EXPECT_EQ(file->dataLength(), 80u) << "the length the engine returned stays";
  EXPECT_TRUE(file->IsOpen());
}

TEST(BtrieveFileTest, FailedOpenIssuesNoStat) {
  RecordingEngine engine;
  engine.answers = {12};
  auto file = std::make_unique<BtrieveFile>(engine);
  EXPECT_EQ(file->Open("C:\\missing.dat"), 12);
  EXPECT_EQ(engine.seen.size(), 1u);
  EXPECT_EQ(file->status(), 12);
  EXPECT_FALSE(file->IsOpen());
}

TEST(BtrieveFileTest, StatFailureAfterOpenLeavesTheFileOpen) {
  RecordingEngine engine;
  engine.answers = {0, 30};
  auto file = std::make_unique<BtrieveFile>(engine);
  EXPECT_EQ(file->Open("C:\\bad.dat"), 30) << "the Stat status";
  EXPECT_TRUE(file->IsOpen()) << "the engine holds the file until it is closed";
  EXPECT_EQ(file->Call(BtrieveFile::kClose), 0);
  EXPECT_FALSE(file->IsOpen());
}

TEST(BtrieveFileTest, CloseSendsNoDataAndOneObjectServesFileAfterFile) {
  RecordingEngine engine;
  auto file = std::make_unique<BtrieveFile>(engine);
  ASSERT_EQ(file->Open("C:\\a.dat"), 0);
  EXPECT_EQ(file->Call(BtrieveFile::kClose), 0);
  ASSERT_EQ(file->Open("C:\\b.dat"), 0);
  EXPECT_EQ(file->Call(BtrieveFile::kClose), 0);
  ASSERT_EQ(engine.seen.size(), 6u);
  const std::uint16_t operations[] = {0, 15, 1, 0, 15, 1};
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(engine.seen[i].operation, operations[i]);
    EXPECT_EQ(engine.seen[i].block, engine.seen[0].block);
  }
  const Seen& close = engine.seen[2];
  EXPECT_EQ(close.data, nullptr);
  EXPECT_EQ(close.lengthSent, 0u);
  EXPECT_EQ(close.key, engine.seen[1].key) << "the object's key buffer";
  EXPECT_EQ(close.keyLength, 255);
  EXPECT_EQ(close.keyNumber, 0);
}

TEST(BtrieveFileTest, CallPassesTheRecordBuffer) {
  RecordingEngine engine;
  engine.answers = {0, 0, 9};
  auto file = std::make_unique<BtrieveFile>(engine);
  std::uint8_t record[40] = {1, 2, 3};
  file->SetRecordBuffer(record, sizeof record);
  ASSERT_EQ(file->Open("C:\\a.dat"), 0);
  EXPECT_EQ(file->Call(6), 9);
  EXPECT_EQ(engine.seen[2].data, record);
  EXPECT_EQ(engine.seen[2].lengthSent, 40u);
  EXPECT_EQ(file->status(), 9);
}

}  // namespace
}  // namespace qz::test
