#pragma once
// The engine as the setup program reaches it, for tests that run on both
// builds: natively the native BTRCALL over host paths, under Wine
// wbtrv32.dll through its import by ordinal 1. Files of the test's own live
// in a scratch folder; the engine opens them by the path the build's
// BTRCALL takes.

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
  EngineHarness(const EngineHarness&) = delete;
  EngineHarness& operator=(const EngineHarness&) = delete;

  platform::BtrieveEngine& engine();
  // Writes a file of the test's own; returns the path to open it by.
  std::string WriteFile(const std::string& name, const std::vector<std::uint8_t>& bytes);
  std::string MakeDirectory(const std::string& name);
  std::string PathOf(const std::string& name) const;

 private:
  std::filesystem::path scratch_;
};

// One request with fresh buffers, for tests that look at the raw answers.
struct Request {
  std::uint16_t status = 0;
  std::uint32_t dataLength = 0;
  std::vector<std::uint8_t> data;
};

std::uint16_t OpenFile(platform::BtrieveEngine& engine, std::uint8_t* block, const std::string& path,
                       std::int8_t mode = 0);
Request StatFile(platform::BtrieveEngine& engine, std::uint8_t* block, std::int8_t keyNumber = 0,
                 std::uint32_t capacity = 33455);
std::uint16_t CloseFile(platform::BtrieveEngine& engine, std::uint8_t* block);

}  // namespace qz::test
