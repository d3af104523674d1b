#pragma once
// The genuine Btrieve files of the shared test data and the Stat replies
// they give, written out byte for byte.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace qz::test {

// The folder of the samples (the shared test data beside the repository),
// or empty when it is not there; tests that need it skip then.
std::filesystem::path SamplesDir();
inline constexpr const char* kNoSamples =
    "the genuine sample files (../shared/testdata/btrieve beside the repository) are not there";

std::vector<std::uint8_t> ReadHostFile(const std::filesystem::path& path);

struct SampleReply {
  const char* file;
  std::vector<std::uint8_t> reply;  // key number 0
  std::uint8_t version;             // byte 5 with key number -1
};

// MBBSEMU.DAT, VARIABLE.DAT and MULTIACS.DAT.
const std::vector<SampleReply>& SampleReplies();

}  // namespace qz::test
