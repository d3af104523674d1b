// The engine's reader of Btrieve files, from memory: what it makes of
// genuine files changed in known ways, one case per way it refuses them.
// (That no damage takes it outside the file or the reply: the fuzz target.)

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <tuple>

#include "tests/btrieve/EngineHarness.h"
#include "wbtrv/Engine.h"
#include "wbtrv/FileReader.h"

namespace qz::test {
namespace {

void Put16(Bytes& bytes, std::size_t at, std::uint16_t value) {
  bytes[at] = static_cast<std::uint8_t>(value);
  bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

std::uint16_t Read(const Bytes& bytes, wbtrv::FileFacts& facts) {
  wbtrv::MemoryFile file(bytes);
  return wbtrv::ReadFileFacts(file, facts);
}

std::uint16_t Status(const Bytes& bytes) {
  wbtrv::FileFacts facts;
  return Read(bytes, facts);
}

class FileReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::path dir = SamplesDir();
    if (dir.empty()) GTEST_SKIP() << kNoSamples;
    mbbsemu_ = ReadHostFile(dir / "MBBSEMU.DAT");
    variable_ = ReadHostFile(dir / "VARIABLE.DAT");
    multiacs_ = ReadHostFile(dir / "MULTIACS.DAT");
  }
  Bytes mbbsemu_, variable_, multiacs_;
};

// The reader needs the control record's page(s), the page allocation
// tables and the collating sequences' 265 bytes, and nothing beyond.
TEST_F(FileReaderTest, TruncatedFilesAreNotBtrieveFiles) {
  for (std::size_t length = 0; length < 512; length += 7) {
    EXPECT_EQ(Status(Bytes(mbbsemu_.begin(), mbbsemu_.begin() + static_cast<long>(length))), 30) << length;
  }
  EXPECT_EQ(Status(Bytes(mbbsemu_.begin(), mbbsemu_.begin() + 512)), 0);
  const std::size_t needed = 5 * 4096 + 6 + 265;  // to the end of LOWER on page 5
  EXPECT_EQ(Status(Bytes(multiacs_.begin(), multiacs_.begin() + static_cast<long>(needed))), 0);
  for (std::size_t length : {needed - 1, std::size_t{4 * 4096}, std::size_t{3 * 4096}, std::size_t{4096}}) {
    EXPECT_EQ(Status(Bytes(multiacs_.begin(), multiacs_.begin() + static_cast<long>(length))), 30) << length;
  }
}

TEST_F(FileReaderTest, ControlRecordsThatDoNotHoldUp) {
  auto refused = [](const char* what, Bytes bytes, auto change) {
    change(bytes);
    EXPECT_EQ(Status(bytes), 30) << what;
  };
  refused("neither 0 nor FC at the start", mbbsemu_, [](Bytes& b) { b[0] = 'X'; });
  refused("page size not a multiple of 512", mbbsemu_, [](Bytes& b) { Put16(b, 0x08, 513); });
  refused("page size beyond the file", mbbsemu_, [](Bytes& b) { Put16(b, 0x08, 4096); });
  refused("version 2", mbbsemu_, [](Bytes& b) { Put16(b, 0x06, 0x0200); });
  refused("120 keys", mbbsemu_, [](Bytes& b) { Put16(b, 0x14, 120); });
  refused("segments past the page", mbbsemu_, [](Bytes& b) { Put16(b, 0x14, 9); });
  refused("last key segmented on", mbbsemu_, [](Bytes& b) { b[0x110 + 3 * 30 + 8] |= 0x10; });
  refused("segment past the record", mbbsemu_, [](Bytes& b) { Put16(b, 0x110 + 0x14, 60); });
  refused("segment of length 0", mbbsemu_, [](Bytes& b) { Put16(b, 0x110 + 0x16, 0); });
  refused("collating sequence without its page", mbbsemu_, [](Bytes& b) { b[0x110 + 8] |= 0x20; });
  refused("version 6 copy without FC", multiacs_, [](Bytes& b) { b[4096] = 'X'; });
  refused("version 6 copies of other page sizes", multiacs_, [](Bytes& b) {
    Put16(b, 4096 + 4, 9);
    Put16(b, 4096 + 0x08, 2048);
  });
  refused("version 7", multiacs_, [](Bytes& b) { Put16(b, 0x4A, 0x0700); });
  refused("key counts disagree", multiacs_, [](Bytes& b) { b[0x76] = 2; });
  refused("key table past the page", multiacs_, [](Bytes& b) { Put16(b, 0x78, 4095); });
  refused("first segment past the page", multiacs_, [](Bytes& b) { Put16(b, 0xF10, 4080); });
  refused("position 1 in version 6", multiacs_, [](Bytes& b) { Put16(b, 0x110 + 0x14, 1); });
  refused("sequence page not an A page", multiacs_, [](Bytes& b) { Put16(b, 0x110 + 0x1A, 3); });
  refused("no page allocation table", multiacs_, [](Bytes& b) {
    b[8192] = 'X';
    b[12288] = 'X';
  });
  refused("sequence without its mark", multiacs_, [](Bytes& b) { b[5 * 4096 + 6] = 0; });
  refused("sequence page beyond the file", multiacs_, [](Bytes& b) { b[8192 + 8 + 4] = 0x7F; });
}

// Genuine files changed the ways other genuine files differ.
TEST_F(FileReaderTest, VariationsOfGenuineFiles) {
  wbtrv::FileFacts facts;
  // Version 6: the copy of the control record used more often is current;
  // a tie keeps the first.
  Bytes bytes = multiacs_;
  std::memcpy(bytes.data() + 4096, bytes.data(), 4096);
  Put16(bytes, 4096 + 0x16, 100);
  for (auto [usage, recordLength] : {std::pair{2, 100}, std::pair{1, 128}}) {
    bytes[4096 + 4] = static_cast<std::uint8_t>(usage);
    ASSERT_EQ(Read(bytes, facts), 0);
    EXPECT_EQ(facts.reply[0], recordLength);
  }
  // A key numbered by hand (key 2) gives its number.
  bytes = multiacs_;
  bytes[0x16A + 9] |= 0x02;
  ASSERT_EQ(Read(bytes, facts), 0);
  EXPECT_EQ(std::tuple(facts.reply[16 + 3 * 16 + 14], facts.reply[16 + 14]), std::tuple(2, 0));
  // Version 5 keeps its one collating sequence (number 0) on page 1.
  bytes = mbbsemu_;
  bytes[0x110 + 8] |= 0x20;
  bytes[0x110 + 2 * 30 + 8] |= 0x20;
  bytes[512 + 6] = 0xAC;
  ASSERT_EQ(Read(bytes, facts), 0);
  ASSERT_EQ(facts.reply.size(), 16u + 4 * 16 + 265);
  EXPECT_EQ(facts.reply[16 + 15], 0);
  EXPECT_EQ(0, std::memcmp(facts.reply.data() + 80, bytes.data() + 512 + 6, 265));
}

// A file "a" served from memory, to look at the engine's own table.
class MemoryOpener : public wbtrv::FileOpener {
 public:
  Bytes a;
  std::uint16_t Open(const char* path, bool, std::unique_ptr<wbtrv::EngineFile>& file) override {
    if (std::string(path) != "a") return 12;
    file = std::make_unique<wbtrv::MemoryFile>(a);
    return 0;
  }
};

std::uint16_t Call(wbtrv::Engine& engine, std::uint16_t operation, std::uint8_t* block, const char* path = "",
                   std::uint32_t* length = nullptr, void* data = nullptr) {
  std::uint32_t none = 0;
  return engine.Call(operation, block, data, length ? length : &none, const_cast<char*>(path), 255, 0);
}

TEST_F(FileReaderTest, EngineTableAndBlocks) {
  MemoryOpener opener;
  opener.a = mbbsemu_;
  wbtrv::Engine engine(opener);
  std::vector<std::array<std::uint8_t, 128>> blocks(wbtrv::kMaxOpenFiles + 1);
  for (std::size_t i = 0; i < wbtrv::kMaxOpenFiles; ++i) ASSERT_EQ(Call(engine, 0, blocks[i].data(), "a"), 0);
  EXPECT_EQ(engine.OpenFiles(), wbtrv::kMaxOpenFiles);
  EXPECT_EQ(Call(engine, 0, blocks.back().data(), "a"), 86) << "the file table is full";
  EXPECT_EQ(Call(engine, 1, blocks[7].data()), 0);
  EXPECT_EQ(Call(engine, 0, blocks.back().data(), "a"), 0) << "a freed slot is taken again";
  EXPECT_EQ(Call(engine, 15, blocks[7].data()), 3) << "the old handle's generation is gone";

  std::uint8_t reply[8];
  EXPECT_EQ(Call(engine, 15, blocks[0].data(), "", nullptr, reply), 22) << "a data length of 0";
  EXPECT_EQ(engine.Call(15, blocks[0].data(), reply, nullptr, nullptr, 0, 0), 22);
  EXPECT_EQ(engine.Call(0, nullptr, nullptr, nullptr, const_cast<char*>("a"), 255, 0), 3);
  EXPECT_EQ(engine.Call(0, blocks[0].data(), nullptr, nullptr, nullptr, 255, 0), 11);

  for (auto& block : blocks) Call(engine, 1, block.data());
  EXPECT_EQ(engine.OpenFiles(), 0u) << "the failed Open let go of the block's earlier file as well";
}

}  // namespace
}  // namespace qz::test
