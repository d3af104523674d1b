// What both programs' WinMain does first: it makes the machine, and the
// machine turns the system's error boxes off before anything looks at a
// path (a probe of an empty removable drive would otherwise wait for a
// click on the system's "no disk" box).

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/Win32Platform.h"

namespace {

constexpr UINT kQuiet = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;

TEST(StartUpTest, TheMachineTurnsTheSystemsErrorBoxesOff) {
  SetErrorMode(0);
  ASSERT_EQ(GetErrorMode() & kQuiet, 0u);
  qz::platform::win32::Win32Machine machine;
  EXPECT_EQ(GetErrorMode() & kQuiet, kQuiet);
}

}  // namespace
