#pragma once
// A fresh simulated machine with the log open, for the common support's tests.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "common/LogFile.h"
#include "common/Registry.h"
#include "platform/sim/SimMachine.h"
#include "tests/support/TempDir.h"

namespace qz::test {

class CommonFixture : public ::testing::Test {
 protected:
  CommonFixture() : machine_(temp_.path() / "machine", temp_.path() / "medium") {
    std::filesystem::create_directories(temp_.path() / "medium");
  }

  void OpenLog() {
    NameText message;
    ASSERT_TRUE(log_.Open("C:\\windows\\Vormex", message)) << message.c_str();
    registry_.AttachLog(&log_);
  }

  // The log's bytes as they stand in the file (the log closed first).
  std::string LogBytes() {
    log_.Close();
    return HostFile(machine_.HostPath("C:\\windows\\Vormex\\qzlog.txt"));
  }

  static std::string HostFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  void WriteMediumFile(const std::string& name, const std::string& bytes) {
    std::ofstream out(temp_.path() / "medium" / name, std::ios::binary);
    out << bytes;
  }

  TempDir temp_;
  platform::sim::SimMachine machine_;
  LogFile log_{machine_.files()};
  Registry registry_{machine_.registry()};
};

}  // namespace qz::test
