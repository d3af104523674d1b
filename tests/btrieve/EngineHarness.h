#pragma once
// The engine as the setup program reaches it, on both builds: natively the
// native BTRCALL over host paths, under Wine wbtrv32.dll through its import
// by ordinal 1. Files of a test's own live in a scratch folder. Beside it,
// the genuine Btrieve files of the shared test data and the Stat replies
// they give, written out byte for byte.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Btrieve.h"

namespace qz::test {

using Bytes = std::vector<std::uint8_t>;

class EngineHarness {
 public:
  EngineHarness();
  ~EngineHarness();
  platform::BtrieveEngine& engine();
  // Writes a file of the test's own; returns the path to open it by.
  std::string WriteFile(const std::string& name, const Bytes& bytes);
  std::string PathOf(const std::string& name) const { return (scratch_ / name).string(); }

 private:
  std::filesystem::path scratch_;
};

struct Request {
  std::uint16_t status = 0;
  std::uint32_t dataLength = 0;
  Bytes data;  // filled with 0xEE beforehand
};

std::uint16_t OpenFile(platform::BtrieveEngine& engine, std::uint8_t* block, const std::string& path,
                       std::int8_t mode = 0);
Request StatFile(platform::BtrieveEngine& engine, std::uint8_t* block, std::int8_t keyNumber = 0,
                 std::uint32_t capacity = 33455);
std::uint16_t CloseFile(platform::BtrieveEngine& engine, std::uint8_t* block);

// The folder of the samples (the shared test data beside the repository),
// or empty when it is not there; tests that need it skip then.
std::filesystem::path SamplesDir();
inline constexpr const char* kNoSamples =
    "the genuine sample files (../shared/testdata/btrieve beside the repository) are not there";

Bytes ReadHostFile(const std::filesystem::path& path);

struct SampleReply {
  const char* file;
  Bytes reply;           // key number 0
  std::uint8_t version;  // byte 5 with key number -1
};

// MBBSEMU.DAT, VARIABLE.DAT and MULTIACS.DAT.
const std::vector<SampleReply>& SampleReplies();

}  // namespace qz::test
