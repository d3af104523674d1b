// wbtrv32.dll as Windows sees it: BTRCALL found by name and as ordinal 1,
// called with the stdcall convention, the status in EAX with its upper
// half clear.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>

namespace qz::test {
namespace {

// The entry point read as returning the whole of EAX.
using WholeEax = std::uint32_t(__stdcall*)(std::uint16_t, void*, void*, std::uint32_t*, void*, std::uint8_t,
                                           std::int8_t);

TEST(Wbtrv32ExportsTest, BtrcallByNameAndOrdinalOne) {
  HMODULE dll = GetModuleHandleA("wbtrv32.dll");
  ASSERT_NE(dll, nullptr) << "the test program is bound to wbtrv32.dll when it is loaded";
  FARPROC byOrdinal = GetProcAddress(dll, MAKEINTRESOURCEA(1));
  FARPROC byName = GetProcAddress(dll, "BTRCALL");
  ASSERT_NE(byOrdinal, nullptr);
  EXPECT_EQ(byOrdinal, byName);
  EXPECT_EQ(GetProcAddress(dll, "_BTRCALL@28"), nullptr) << "exported undecorated";

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
