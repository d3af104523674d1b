// DBCHANGE.QRT's reader, fed any bytes as the file, over a plan of a few
// tables for the installed version 1.0.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "btrieve/ConversionPlan.h"
#include "btrieve/MemoryInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  qz::ConversionPlan plan;
  plan.SetVersion("1.0");
  for (const char* name : {"A", "B", "CIKK.DAT", "ABCDEFGHIJKLMNO"}) {
    plan.tables()[name] = std::make_unique<qz::TableDescription>();
  }
  qz::platform::LineReader reader(
      std::make_unique<qz::MemoryInput>(std::string(reinterpret_cast<const char*>(data), size)));
  plan.ReadScript(reader);
  for (const auto& [name, table] : plan.tables()) {
    if (table->changeCount < 0 || table->changeCount > 32) std::abort();
    for (int i = 0; i < table->changeCount; ++i) {
      if (table->changes[i].recordText.length() > 259) std::abort();
    }
  }
  return 0;
}
