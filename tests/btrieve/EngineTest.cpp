// The stand-in engine as programs reach it (BTRCALL natively, wbtrv32.dll
// under Wine): the genuine sample files, failures and position blocks.

#include <gtest/gtest.h>

#include <cstring>

#include "tests/btrieve/EngineHarness.h"

namespace qz::test {
namespace {

class EngineTest : public ::testing::Test {
 protected:
  // A copy in the scratch folder, or empty without the samples.
  std::string Sample(const std::string& name) {
    return samples_.empty() ? std::string() : harness_.WriteFile(name, ReadHostFile(samples_ / name));
  }

  EngineHarness harness_;
  platform::BtrieveEngine& engine_ = harness_.engine();
  std::filesystem::path samples_ = SamplesDir();
  std::uint8_t block_[128] = {};
  std::uint8_t other_[128] = {};
};

TEST_F(EngineTest, SamplesGiveTheirStatRepliesByteForByte) {
  if (samples_.empty()) GTEST_SKIP() << kNoSamples;
  for (const SampleReply& sample : SampleReplies()) {
    SCOPED_TRACE(sample.file);
    // Straight from the shared folder, read-only as it is; the path ends at
    // a blank.
    ASSERT_EQ(OpenFile(engine_, block_, (samples_ / sample.file).string() + " owner words"), 0);
    Request stat = StatFile(engine_, block_);
    ASSERT_EQ(stat.status, 0);
    EXPECT_EQ(Bytes(stat.data.begin(), stat.data.begin() + stat.dataLength), sample.reply);
    EXPECT_EQ(stat.data[stat.dataLength], 0xEE) << "nothing written past the reply";

    // Key number -1 fills in the version and the duplicate pointers still
    // to reserve (none in the samples).
    Request full = StatFile(engine_, block_, -1);
    Bytes expected = sample.reply;
    expected[5] = sample.version;
    EXPECT_EQ(Bytes(full.data.begin(), full.data.begin() + full.dataLength), expected);

    // Too short a data buffer: what fits, and status 22.
    Request cut = StatFile(engine_, block_, 0, 20);
    EXPECT_EQ(cut.status, 22);
    EXPECT_EQ(cut.data, Bytes(sample.reply.begin(), sample.reply.begin() + 20));
    EXPECT_EQ(CloseFile(engine_, block_), 0);
  }
}

// A missing file, and an empty one (no Btrieve file: the reader's own
// tests cut and flip the genuine ones).
TEST_F(EngineTest, PositionBlockServesFileAfterFile) {
  // Never opened: zeros and garbage alike name no file.
  EXPECT_EQ(CloseFile(engine_, block_), 3);
  std::memset(block_, 0xA5, sizeof block_);
  EXPECT_EQ(StatFile(engine_, block_).status, 3);
  EXPECT_EQ(OpenFile(engine_, block_, harness_.PathOf("missing.dat")), 12);
  EXPECT_EQ(OpenFile(engine_, block_, harness_.WriteFile("empty.dat", {})), 30);
  if (samples_.empty()) GTEST_SKIP() << kNoSamples;
  for (const SampleReply& sample : SampleReplies()) {
    ASSERT_EQ(OpenFile(engine_, block_, (samples_ / sample.file).string()), 0);
    EXPECT_EQ(StatFile(engine_, block_).dataLength, sample.reply.size());
    std::uint8_t copy[128];
    std::memcpy(copy, block_, sizeof copy);
    EXPECT_EQ(CloseFile(engine_, block_), 0);
    EXPECT_EQ(CloseFile(engine_, block_), 3) << "closed twice";
    EXPECT_EQ(StatFile(engine_, copy).status, 3) << "a copy of a closed block names no file";
  }
  // A block opened again without a Close lets go of its earlier file,
  // which can then be opened exclusively.
  std::string first = Sample("MBBSEMU.DAT");
  ASSERT_EQ(OpenFile(engine_, block_, first), 0);
  ASSERT_EQ(OpenFile(engine_, block_, Sample("VARIABLE.DAT")), 0);
  EXPECT_EQ(OpenFile(engine_, other_, first, -4), 0);
  EXPECT_EQ(CloseFile(engine_, other_), 0);
  EXPECT_EQ(CloseFile(engine_, block_), 0);
}

}  // namespace
}  // namespace qz::test
