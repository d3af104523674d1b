#include "common/LogFile.h"

#include "tests/support/SimFixture.h"

namespace qz::test {
namespace {

using LogFileTest = SimFixture;

TEST_F(LogFileTest, PrintCutsAt1023AndKeepsPercentSignsOfArguments) {
  OpenLog();
  log_.Print("%s", std::string(2000, 'x').c_str());
  log_.Print("\n%s\n", "100% C:\\%WINDIR%");
  log_.Write("50%s\n");
  EXPECT_EQ(LogBytes(), std::string(1023, 'x') + "\r\n100% C:\\%WINDIR%\r\n50%s\r\n\r\n\r\n\r\n");
}

TEST_F(LogFileTest, LogErrorWritesTheCodeAndTheSystemText) {
  OpenLog();
  log_.Write("Fájl másolás : C:\\x...");
  log_.LogError(5);
  log_.LogError(9999);
  EXPECT_EQ(LogBytes(),
            "Fájl másolás : C:\\x...ERROR\r\n"
            // The system's text keeps its own CR LF, which text mode turns
            // into CR CR LF, as on Windows.
            "\r\n!!! LogError : code = 5, Message : Hozzáférés megtagadva.\r\r\n\r\n"
            "ERROR\r\n"
            "\r\n!!! LogError : code = 9999, Message : \r\n"
            "\r\n\r\n\r\n");
}

// (A directory that cannot be made: the wizard's start-up test.)
TEST_F(LogFileTest, ALogFileThatCannotBeMadeStopsWithItsMessage) {
  NameText message;
  MakeDirs("C:\\windows\\Vormex\\qzlog.txt");  // a directory in the way
  EXPECT_FALSE(log_.Open("C:\\windows\\Vormex", message));
  EXPECT_EQ(message,
            "Nem hozható létre a C:\\windows\\Vormex\\qzlog.txt logfile!\n\n"
            "Engedélyezze a C:\\windows\\Vormex könyvtár\nírását az installáció megkezdéséhez!");
}

TEST_F(LogFileTest, AnotherWriterDoesNotPreventTheOpenButAReaderDoes) {
  MakeDirs("C:\\windows\\Vormex");
  platform::ErrorCode error;
  NameText message;
  {
    auto writer = machine_.files().OpenForAppending(kLogPath, platform::kShareReadWrite, error);
    EXPECT_TRUE(log_.Open("C:\\windows\\Vormex", message));
    log_.Close();
  }
  auto reader = machine_.files().OpenForReading(kLogPath, platform::kShareReadWrite, error);
  EXPECT_FALSE(log_.Open("C:\\windows\\Vormex", message));
}

}  // namespace
}  // namespace qz::test
