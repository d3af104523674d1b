#include "tests/btrieve/EngineHarness.h"

#include <atomic>
#include <fstream>
#include <iterator>
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

Bytes operator+(Bytes bytes, const Bytes& more) {
  bytes.insert(bytes.end(), more.begin(), more.end());
  return bytes;
}

// A collating sequence block: the mark, the 8-byte name, the table.
Bytes Sequence(const char (&name)[9], int from, int to, int shift) {
  Bytes block(265);
  block[0] = 0xAC;
  for (int i = 0; i < 8; ++i) block[1 + i] = static_cast<std::uint8_t>(name[i]);
  for (int i = 0; i < 256; ++i) block[9 + i] = static_cast<std::uint8_t>(i >= from && i <= to ? i + shift : i);
  return block;
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

std::string EngineHarness::WriteFile(const std::string& name, const Bytes& bytes) {
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

std::filesystem::path SamplesDir() {
  std::filesystem::path dir = QZ_BTRIEVE_SAMPLES;
  std::error_code error;
  if (!std::filesystem::is_regular_file(dir / "MBBSEMU.DAT", error)) return {};
  return dir;
}

Bytes ReadHostFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const std::vector<SampleReply>& SampleReplies() {
  // The header (record length, page size, keys, records, flags, duplicate
  // pointers, unused pages), then per segment: position, length, flags,
  // unique values, type, null value, reserved, key number, sequence.
  static const std::vector<SampleReply> replies = {
      // Version 0x0400, pages of 512, 4 keys, records of 74, 4 records.
      {"MBBSEMU.DAT",
       Bytes{0x4A, 0x00, 0x00, 0x02, 4, 0, 4, 0, 0, 0, 0x00, 0x00, 0, 0, 0, 0} +
           Bytes{3, 0, 32, 0, 0x01, 0x01, 1, 0, 0, 0, 11, 0, 0, 0, 0, 0} +
           Bytes{35, 0, 4, 0, 0x02, 0x01, 4, 0, 0, 0, 1, 0, 0, 0, 0, 0} +
           Bytes{39, 0, 32, 0, 0x03, 0x01, 4, 0, 0, 0, 11, 0, 0, 0, 0, 0} +
           Bytes{71, 0, 4, 0, 0x00, 0x01, 4, 0, 0, 0, 15, 0, 0, 0, 0, 0},
       0x40},
      // Version 0x0400, pages of 512, 2 keys, records of 8, 1,024 records,
      // variable-length records.
      {"VARIABLE.DAT",
       Bytes{0x08, 0x00, 0x00, 0x02, 2, 0, 0x00, 0x04, 0, 0, 0x01, 0x00, 0, 0, 0, 0} +
           Bytes{5, 0, 2, 0, 0x01, 0x01, 64, 0, 0, 0, 1, 0, 0, 0, 0, 0} +
           Bytes{7, 0, 2, 0, 0x00, 0x01, 0x00, 0x04, 0, 0, 1, 0, 0, 0, 0, 0},
       0x40},
      // Version 6.1, pages of 4,096, 3 keys in 4 segments, records of 128,
      // none stored, variable-length records; key 0 collates with ALLCAPS
      // (sequence 0), key 2 with LOWER (sequence 1).
      {"MULTIACS.DAT",
       Bytes{0x80, 0x00, 0x00, 0x10, 3, 0, 0, 0, 0, 0, 0x01, 0x00, 0, 0, 0, 0} +
           Bytes{3, 0, 16, 0, 0x21, 0x05, 0, 0, 0, 0, 11, 0, 0, 0, 0, 0} +
           Bytes{21, 0, 4, 0, 0x10, 0x01, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0} +
           Bytes{25, 0, 8, 0, 0x00, 0x01, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0} +
           Bytes{31, 0, 16, 0, 0x20, 0x05, 0, 0, 0, 0, 11, 0, 0, 0, 0, 1} + Sequence("ALLCAPS\0", 'a', 'z', -32) +
           Sequence("LOWER\0\0\0", 'A', 'Z', 32),
       0x61},
  };
  return replies;
}

}  // namespace qz::test
