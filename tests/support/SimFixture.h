#pragma once
// A fresh simulated machine in a temporary folder: the medium in a folder of
// its own (the working directory), and the log in the maker's folder with
// the registry writing to it once it is open.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "common/LogFile.h"
#include "common/Registry.h"
#include "platform/sim/SimMachine.h"
#include "tests/support/TempDir.h"

namespace qz::test {

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;

// A host file's bytes, or "<missing>".
inline std::string HostText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Text-mode line ends (CR LF) back to LF, for readable expectations; a CR
// of the text's own stays.
inline std::string Lf(const std::string& bytes) {
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' || i + 1 == bytes.size() || bytes[i + 1] != '\n') text += bytes[i];
  }
  return text;
}

inline constexpr const char* kLogPath = "C:\\windows\\Vormex\\qzlog.txt";

class SimFixture : public ::testing::Test {
 protected:
  SimFixture() { std::filesystem::create_directories(medium_); }

  void OpenLog() {
    NameText message;
    ASSERT_TRUE(log_.Open("C:\\windows\\Vormex", message)) << message.c_str();
    registry_.AttachLog(&log_);
  }
  // The log's bytes as they stand in the file (the log closed first).
  std::string LogBytes() {
    log_.Close();
    return HostText(machine_.HostPath(kLogPath));
  }
  // `path` below the medium, with "/" separators.
  void WriteMedium(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories((medium_ / path).parent_path());
    std::ofstream(medium_ / path, std::ios::binary | std::ios::trunc) << bytes;
  }
  void WriteFile(const std::string& path, const std::string& bytes = "x") {
    std::filesystem::path host = machine_.HostPath(path.c_str());
    std::filesystem::create_directories(host.parent_path());
    std::ofstream out(host, std::ios::binary | std::ios::trunc);
    out << bytes;
    ASSERT_TRUE(out.good()) << path;
  }
  std::string ReadFile(const std::string& path) { return HostText(machine_.HostPath(path.c_str())); }
  void MakeDirs(const std::string& path) { std::filesystem::create_directories(machine_.HostPath(path.c_str())); }
  // A host symbolic link, which the machine reports as a reparse point.
  void MakeLink(const std::string& link, const std::string& target) {
    std::filesystem::path host = machine_.HostPath(link.c_str());
    std::filesystem::create_directories(host.parent_path());
    std::filesystem::create_symlink(machine_.HostPath(target.c_str()), host);
  }
  bool Exists(const std::string& path) {
    std::uint32_t attributes = 0;
    return machine_.files().GetAttributes(path.c_str(), attributes) == platform::kOk;
  }

  TempDir temp_;
  std::filesystem::path medium_ = temp_.path() / "medium";
  platform::sim::SimMachine machine_{temp_.path() / "machine", medium_};
  LogFile log_{machine_.files()};
  Registry registry_{machine_.registry()};
};

}  // namespace qz::test
