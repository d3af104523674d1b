// DBSTAT.QRT's reader, fed any bytes as the file.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "btrieve/DbStat.h"
#include "btrieve/MemoryInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  qz::platform::LineReader reader(
      std::make_unique<qz::MemoryInput>(std::string(reinterpret_cast<const char*>(data), size)));
  qz::TableMap tables;
  qz::ReadTablesFrom(reader, tables);
  for (const auto& [name, description] : tables) {
    if (name.empty() || name.size() > 15 || description->changeCount != 0) std::abort();
  }
  return 0;
}
