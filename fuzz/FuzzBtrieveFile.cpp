// The engine's reader of Btrieve files, fed any bytes as a file.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "wbtrv/FileReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  qz::wbtrv::MemoryFile file(data, size);
  qz::wbtrv::FileFacts facts;
  std::uint16_t status = qz::wbtrv::ReadFileFacts(file, facts);
  if (status != 0 && status != 30 && status != 2) std::abort();
  if (status == 0) {
    if (facts.reply.size() < 16 || facts.reply.size() > qz::wbtrv::kMaxStatReply) std::abort();
    std::vector<std::uint8_t> out(qz::wbtrv::kMaxStatReply);
    qz::wbtrv::CopyStatReply(facts, -1, out.data(), out.size());
    qz::wbtrv::CopyStatReply(facts, 0, out.data(), size % 64);
  }
  return 0;
}
