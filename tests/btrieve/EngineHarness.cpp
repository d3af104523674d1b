#include "tests/btrieve/EngineHarness.h"

#include <atomic>
#include <fstream>
#include <stdexcept>

#ifdef _WIN32
#include "platform/win32/btrieve/Win32Btrieve.h"
#else
#include <unistd.h>

#include "wbtrv/Btrcall.h"
#endif

namespace qz::test {
namespace {

#ifdef _WIN32
using BuildEngine = platform::win32::Win32Btrieve;
#else
class BuildEngine : public platform::BtrieveEngine {
 public:
  std::uint16_t Call(std::uint16_t operation, void* positionBlock, void* dataBuffer, std::uint32_t* dataLength,
                     void* keyBuffer, std::uint8_t keyLength, std::int8_t keyNumber) override {
    return static_cast<std::uint16_t>(
        BTRCALL(operation, positionBlock, dataBuffer, dataLength, keyBuffer, keyLength, keyNumber));
  }
};
#endif

std::filesystem::path MakeScratch() {
  static std::atomic<int> counter{0};
#ifdef _WIN32
  std::string name = "qzbtr-" + std::to_string(counter++);
#else
  std::string name = "qzbtr-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
#endif
  std::filesystem::path dir = std::filesystem::temp_directory_path() / name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

}  // namespace

EngineHarness::EngineHarness() : scratch_(MakeScratch()) {}

EngineHarness::~EngineHarness() {
  std::error_code ignored;
  std::filesystem::remove_all(scratch_, ignored);
}

platform::BtrieveEngine& EngineHarness::engine() {
  static BuildEngine engine;
  return engine;
}

std::string EngineHarness::WriteFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
  std::filesystem::create_directories((scratch_ / name).parent_path());
  std::ofstream out(scratch_ / name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + name);
  return PathOf(name);
}

std::uint16_t OpenFile(platform::BtrieveEngine& engine, std::uint8_t* block, const std::string& path,
                       std::int8_t mode) {
  std::uint32_t length = 0;
  char owner[1] = {'\0'};
  std::string key = path;
  return engine.Call(0, block, owner, &length, key.data(), 255, mode);
}

Request StatFile(platform::BtrieveEngine& engine, std::uint8_t* block, std::int8_t keyNumber, std::uint32_t capacity) {
  Request request;
  request.data.assign(capacity, 0xEE);
  request.dataLength = capacity;
  std::uint8_t key[256] = {};
  request.status = engine.Call(15, block, request.data.data(), &request.dataLength, key, 255, keyNumber);
  return request;
}

std::uint16_t CloseFile(platform::BtrieveEngine& engine, std::uint8_t* block) {
  std::uint32_t length = 0;
  std::uint8_t key[256] = {};
  return engine.Call(1, block, nullptr, &length, key, 255, 0);
}

}  // namespace qz::test
