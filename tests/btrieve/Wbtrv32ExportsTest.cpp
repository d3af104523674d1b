// wbtrv32.dll as Windows calls it: BTRCALL through its ordinal 1, with the
// stdcall convention, the status in EAX with its upper half clear. (The
// exports' table and the programs' imports: check-wbtrv32-exports.sh, from
// the files.)

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>

namespace qz::test {
namespace {

// The entry point read as returning the whole of EAX.
using WholeEax = std::uint32_t(__stdcall*)(std::uint16_t, void*, void*, std::uint32_t*, void*, std::uint8_t,
                                           std::int8_t);

TEST(Wbtrv32ExportsTest, BtrcallThroughOrdinalOneKeepsTheStackAndClearsTheUpperHalf) {
  HMODULE dll = GetModuleHandleA("wbtrv32.dll");
  ASSERT_NE(dll, nullptr) << "the test program is bound to wbtrv32.dll when it is loaded";
  FARPROC byOrdinal = GetProcAddress(dll, MAKEINTRESOURCEA(1));
  ASSERT_NE(byOrdinal, nullptr);
  auto call = reinterpret_cast<WholeEax>(reinterpret_cast<void*>(byOrdinal));
  std::uint8_t block[128];
  std::memset(block, 0xFF, sizeof block);
  std::uint32_t length = 0;
  char path[] = "C:\\no\\such\\file.dat";
  // Called many times: a convention mismatch would unbalance the stack.
  for (int i = 0; i < 1000; ++i) {
    ASSERT_EQ(call(0, block, nullptr, &length, path, 255, 0), 12u);
    ASSERT_EQ(call(1, block, nullptr, &length, path, 255, 0), 3u);
    ASSERT_EQ(call(6, block, nullptr, &length, path, 255, 0), 1u);
  }
}

}  // namespace
}  // namespace qz::test
