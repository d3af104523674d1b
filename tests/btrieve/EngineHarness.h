#pragma once
// The engine as the setup program reaches it, on both builds: natively the
// native BTRCALL over host paths, under Wine wbtrv32.dll through its import
// by ordinal 1. Files of a test's own live in a scratch folder.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Btrieve.h"

namespace qz::test {

class EngineHarness {
 public:
  EngineHarness();
  ~EngineHarness();
  platform::BtrieveEngine& engine();
  // Writes a file of the test's own; returns the path to open it by.
  std::string WriteFile(const std::string& name, const std::vector<std::uint8_t>& bytes);
  std::string PathOf(const std::string& name) const { return (scratch_ / name).string(); }

 private:
  std::filesystem::path scratch_;
};

struct Request {
  std::uint16_t status = 0;
  std::uint32_t dataLength = 0;
  std::vector<std::uint8_t> data;  // filled with 0xEE beforehand
};

std::uint16_t OpenFile(platform::BtrieveEngine& engine, std::uint8_t* block, const std::string& path,
                       std::int8_t mode = 0);
Request StatFile(platform::BtrieveEngine& engine, std::uint8_t* block, std::int8_t keyNumber = 0,
                 std::uint32_t capacity = 33455);
std::uint16_t CloseFile(platform::BtrieveEngine& engine, std::uint8_t* block);

}  // namespace qz::test
