// The stand-in engine as programs reach it (BTRCALL natively, wbtrv32.dll
// under Wine): the genuine sample files, open modes, position blocks and
// damaged files.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "tests/btrieve/EngineHarness.h"
#include "tests/btrieve/SampleFiles.h"

namespace qz::test {
namespace {

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    samples_ = SamplesDir();
    std::memset(block_, 0, sizeof block_);
    std::memset(other_, 0, sizeof other_);
  }

  // A sample copied into the scratch folder (the samples are read-only and
  // shared), or empty without the samples.
  std::string Sample(const std::string& name) {
    if (samples_.empty()) return {};
    return harness_.WriteFile(name, ReadHostFile(samples_ / name));
  }

  EngineHarness harness_;
  platform::BtrieveEngine& engine_ = harness_.engine();
  std::filesystem::path samples_;
  std::uint8_t block_[128];
  std::uint8_t other_[128];
};

TEST_F(EngineTest, SamplesGiveTheirStatRepliesByteForByte) {
  if (samples_.empty()) GTEST_SKIP() << kNoSamples;
  for (const SampleReply& sample : SampleReplies()) {
    SCOPED_TRACE(sample.file);
    // Straight from the shared folder, read-only as it is.
    std::string path = (samples_ / sample.file).string();
    ASSERT_EQ(OpenFile(engine_, block_, path), 0);

    Request stat = StatFile(engine_, block_);
    ASSERT_EQ(stat.status, 0);
    ASSERT_EQ(stat.dataLength, sample.reply.size());
    EXPECT_EQ(std::vector<std::uint8_t>(stat.data.begin(), stat.data.begin() + stat.dataLength), sample.reply);
    EXPECT_EQ(stat.data[stat.dataLength], 0xEE) << "nothing written past the reply";

    // Key number -1 fills in the version and the duplicate pointers still
    // to reserve (none in the samples).
    Request full = StatFile(engine_, block_, -1);
    ASSERT_EQ(full.status, 0);
    std::vector<std::uint8_t> expected = sample.reply;
    expected[5] = sample.version;
    EXPECT_EQ(std::vector<std::uint8_t>(full.data.begin(), full.data.begin() + full.dataLength), expected);

    EXPECT_EQ(CloseFile(engine_, block_), 0);
  }
}

TEST_F(EngineTest, ShortDataBufferGetsWhatFitsAndStatus22) {
  std::string path = Sample("MULTIACS.DAT");
  if (path.empty()) GTEST_SKIP() << kNoSamples;
  ASSERT_EQ(OpenFile(engine_, block_, path), 0);
  Request stat = StatFile(engine_, block_, 0, 100);
  EXPECT_EQ(stat.status, 22);
  EXPECT_EQ(stat.dataLength, 100u);
  const std::vector<std::uint8_t>& reply = SampleReplies()[2].reply;
  EXPECT_TRUE(std::equal(stat.data.begin(), stat.data.end(), reply.begin()));
  Request exact = StatFile(engine_, block_, 0, static_cast<std::uint32_t>(reply.size()));
  EXPECT_EQ(exact.status, 0);
  EXPECT_EQ(CloseFile(engine_, block_), 0);
}

TEST_F(EngineTest, OpenModesAndSharing) {
  std::string path = Sample("VARIABLE.DAT");
  if (path.empty()) GTEST_SKIP() << kNoSamples;
  for (std::int8_t mode : {0, -1, -2, -3}) {
    SCOPED_TRACE(static_cast<int>(mode));
    ASSERT_EQ(OpenFile(engine_, block_, path, mode), 0);
    ASSERT_EQ(OpenFile(engine_, other_, path, mode), 0) << "shared modes let others open the file too";
    EXPECT_EQ(StatFile(engine_, other_).status, 0);
    EXPECT_EQ(CloseFile(engine_, other_), 0);
    EXPECT_EQ(CloseFile(engine_, block_), 0);
  }

  // Exclusive: nobody else meanwhile, and not while someone has it.
  ASSERT_EQ(OpenFile(engine_, block_, path, -4), 0);
  EXPECT_EQ(OpenFile(engine_, other_, path, 0), 85);
  EXPECT_EQ(OpenFile(engine_, other_, path, -4), 85);
  EXPECT_EQ(CloseFile(engine_, block_), 0);
  ASSERT_EQ(OpenFile(engine_, other_, path, 0), 0);
  EXPECT_EQ(OpenFile(engine_, block_, path, -4), 85);
  EXPECT_EQ(CloseFile(engine_, other_), 0);

  EXPECT_EQ(OpenFile(engine_, block_, path, 1), 1) << "no such open mode";
  EXPECT_EQ(OpenFile(engine_, block_, path, -5), 1);
}

TEST_F(EngineTest, OpenFailuresNameTheirCause) {
  EXPECT_EQ(OpenFile(engine_, block_, harness_.PathOf("missing.dat")), 12);
  EXPECT_EQ(OpenFile(engine_, block_, harness_.PathOf("nodir") + "/x.dat"), 12);
  EXPECT_EQ(OpenFile(engine_, block_, harness_.MakeDirectory("SUB.DAT")), 46) << "a directory is no file";
  EXPECT_EQ(OpenFile(engine_, block_, ""), 11);
  EXPECT_EQ(OpenFile(engine_, block_, std::string(255, 'x')), 11) << "no end within 255 bytes";
  EXPECT_EQ(OpenFile(engine_, block_, harness_.WriteFile("empty.dat", {})), 30);
  EXPECT_EQ(OpenFile(engine_, block_, harness_.WriteFile("text.dat", std::vector<std::uint8_t>(2048, 'a'))), 30);

  // The path ends at a blank: what follows is not part of it.
  std::string path = Sample("MBBSEMU.DAT");
  if (path.empty()) return;
  ASSERT_EQ(OpenFile(engine_, block_, path + " owner words"), 0);
  EXPECT_EQ(CloseFile(engine_, block_), 0);
}

TEST_F(EngineTest, PositionBlockServesFileAfterFile) {
  if (samples_.empty()) GTEST_SKIP() << kNoSamples;
  // Never opened: zeros and garbage alike name no file.
  EXPECT_EQ(CloseFile(engine_, block_), 3);
  std::memset(block_, 0xA5, sizeof block_);
  EXPECT_EQ(CloseFile(engine_, block_), 3);
  EXPECT_EQ(StatFile(engine_, block_).status, 3);

  for (const SampleReply& sample : SampleReplies()) {
    SCOPED_TRACE(sample.file);
    ASSERT_EQ(OpenFile(engine_, block_, (samples_ / sample.file).string()), 0);
    Request stat = StatFile(engine_, block_);
    ASSERT_EQ(stat.status, 0);
    EXPECT_EQ(stat.dataLength, sample.reply.size());
    std::uint8_t copy[128];
    std::memcpy(copy, block_, sizeof copy);
    EXPECT_EQ(CloseFile(engine_, block_), 0);
    EXPECT_EQ(CloseFile(engine_, block_), 3) << "closed twice";
    EXPECT_EQ(StatFile(engine_, copy).status, 3) << "a copy of a closed block names no file";
  }

  // A block reused without a Close lets go of its earlier file: the file
  // can then be opened exclusively.
  std::string first = Sample("MBBSEMU.DAT");
  std::string second = Sample("VARIABLE.DAT");
  ASSERT_EQ(OpenFile(engine_, block_, first), 0);
  ASSERT_EQ(OpenFile(engine_, block_, second), 0);
  ASSERT_EQ(OpenFile(engine_, other_, first, -4), 0);
  EXPECT_EQ(CloseFile(engine_, other_), 0);
  EXPECT_EQ(StatFile(engine_, block_).dataLength, SampleReplies()[1].reply.size());
  EXPECT_EQ(CloseFile(engine_, block_), 0);
}

TEST_F(EngineTest, OperationsItDoesNotOfferGiveStatus1) {
  for (std::uint16_t operation : {2, 6, 12, 14, 26, 115, 0xFFFF}) {
    std::uint32_t length = 0;
    std::uint8_t key[256] = {};
    EXPECT_EQ(engine_.Call(operation, block_, nullptr, &length, key, 255, 0), 1) << operation;
  }
}

// Damaged copies of the samples, through the files the engine opens: each
// gives a status (30, or 0 when the damage leaves a readable file) and
// never anything worse. The engine's reader meets many more in the fuzz
// target and in the reader's own tests.
TEST_F(EngineTest, DamagedFilesAreRefusedOrRead) {
  if (samples_.empty()) GTEST_SKIP() << kNoSamples;
  std::mt19937 rng(1234);
  for (const SampleReply& sample : SampleReplies()) {
    SCOPED_TRACE(sample.file);
    std::vector<std::uint8_t> bytes = ReadHostFile(samples_ / sample.file);
    std::vector<std::vector<std::uint8_t>> damaged;
    for (std::size_t length : {std::size_t{0}, std::size_t{1}, std::size_t{511}, std::size_t{512},
                               std::size_t{4095}, std::size_t{4096}, std::size_t{8191}, std::size_t{16384 + 270}}) {
      if (length < bytes.size()) damaged.emplace_back(bytes.begin(), bytes.begin() + static_cast<long>(length));
    }
    for (int i = 0; i < 40; ++i) {
      std::vector<std::uint8_t> flipped = bytes;
      std::size_t limit = std::min<std::size_t>(flipped.size(), 6 * 4096);
      for (int flips = 0; flips < 1 + i % 4; ++flips) flipped[rng() % limit] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
      damaged.push_back(std::move(flipped));
    }
    for (std::size_t i = 0; i < damaged.size(); ++i) {
      std::string path = harness_.WriteFile("damaged.dat", damaged[i]);
      std::uint16_t status = OpenFile(engine_, block_, path);
      ASSERT_TRUE(status == 0 || status == 30) << "copy " << i << ": status " << status;
      if (status != 0) continue;
      Request stat = StatFile(engine_, block_);
      EXPECT_EQ(stat.status, 0);
      EXPECT_LE(stat.dataLength, 33455u);
      EXPECT_EQ(CloseFile(engine_, block_), 0);
    }
  }
}

}  // namespace
}  // namespace qz::test
