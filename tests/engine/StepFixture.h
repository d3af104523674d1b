#pragma once
// A setup run's context on a fresh simulated machine: the medium in a
// folder of its own (the working directory), the log in the maker's folder,
// and a transcript of what the user saw (list lines and message boxes, in
// order).

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/LogFile.h"
#include "common/ProgressList.h"
#include "common/Registry.h"
#include "platform/sim/SimList.h"
#include "platform/sim/SimMachine.h"
#include "setup/SetupScript.h"
#include "setup/StepContext.h"
#include "tests/support/TempDir.h"

namespace qz::test {

class NoBtrieve : public platform::BtrieveEngine {
 public:
  std::uint16_t Call(std::uint16_t, void*, void*, std::uint32_t*, void*, std::uint8_t, std::int8_t) override {
    return 20;  // record manager inactive
  }
};

// The progress list and the message boxes of the page, recorded in order.
class Transcript : public platform::ListControl, public platform::MessageOwner {
 public:
  void AddString(const char* text) override {
    list.AddString(text);
    events.push_back(std::string("list: ") + text);
  }
  void SelectString(int start, const char* prefix) override { list.SelectString(start, prefix); }
  int ShowMessage(const char* text, const char* caption, platform::Buttons buttons, platform::Icon icon) override {
    boxCaptions.emplace_back(caption);
    EXPECT_EQ(buttons, platform::Buttons::Ok);
    EXPECT_EQ(icon, platform::Icon::Exclamation);
    events.push_back(std::string("box: ") + text);
    return platform::kIdOk;
  }

  platform::sim::SimList list;
  std::vector<std::string> events;
  std::vector<std::string> boxCaptions;
};

class StepFixture : public ::testing::Test {
 protected:
  StepFixture() {
    std::filesystem::create_directories(medium_);
    settings_.installType = kInstallInstall;
    settings_.appName = "Próba";
    settings_.appVersion = "2.0";
    settings_.homeDir = "C:\\APP";
    settings_.winDir = "C:\\windows";
    settings_.sysDir = "C:\\windows\\system32";
    settings_.vormexDir = "C:\\windows\\Vormex";
    registry_.AttachLog(&log_);
    OpenLog();
  }

  // The script, one line per element, written with CR LF line ends.
  void WriteScript(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    WriteMediumFile("setup.ini", text);
    script_.Close();
    ASSERT_TRUE(script_.Open("setup.ini"));
  }

  // A file of the medium; `path` below the medium with "/" separators.
  void WriteMediumFile(const std::string& path, const std::string& bytes) {
    std::filesystem::path host = medium_ / path;
    std::filesystem::create_directories(host.parent_path());
    std::ofstream out(host, std::ios::binary | std::ios::trunc);
    out << bytes;
  }

  // A file on the machine, made through the machine's own rules.
  void WriteMachineFile(const char* windowsPath, const std::string& bytes) {
    std::filesystem::path host = machine_.HostPath(windowsPath);
    std::ofstream out(host, std::ios::binary | std::ios::trunc);
    out << bytes;
    ASSERT_TRUE(out.good()) << windowsPath;
  }

  void MakeDirs(const char* windowsPath) { std::filesystem::create_directories(machine_.HostPath(windowsPath)); }

  std::string ReadMachineFile(const char* windowsPath) {
    std::ifstream in(machine_.HostPath(windowsPath), std::ios::binary);
    if (!in) return "<missing>";
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }

  bool Exists(const char* windowsPath) {
    std::uint32_t attributes = 0;
    return machine_.files().GetAttributes(windowsPath, attributes) == platform::kOk;
  }

  bool IsReadOnly(const char* windowsPath) {
    std::uint32_t attributes = 0;
    EXPECT_EQ(machine_.files().GetAttributes(windowsPath, attributes), platform::kOk) << windowsPath;
    return (attributes & platform::kAttributeReadOnly) != 0;
  }

  // The log written since the last call, with "\n" line ends.
  std::string TakeLog() {
    log_.Close();
    std::string all = ReadMachineFile("C:\\windows\\Vormex\\qzlog.txt");
    std::string fresh = all.substr(logRead_);
    logRead_ = all.size();
    OpenLog();
    std::string text;
    for (std::size_t i = 0; i < fresh.size(); ++i) {
      if (fresh[i] == '\r' && i + 1 < fresh.size() && fresh[i + 1] == '\n') continue;
      text += fresh[i];
    }
    // Closing the log added the run's closing gap.
    if (text.size() >= 3 && text.compare(text.size() - 3, 3, "\n\n\n") == 0) text.resize(text.size() - 3);
    return text;
  }

  // The log block of one failed action: its line, "ERROR" and the error
  // code with the system's text for it.
  std::string Failed(const std::string& action, platform::ErrorCode code) {
    FixedText<512> message;
    machine_.files().ErrorMessage(code, message);
    // The system's text keeps its own CR LF.
    return action + "ERROR\n\n!!! LogError : code = " + std::to_string(code) + ", Message : " +
           std::string(message.view()) + "\n";
  }

  const std::vector<std::string>& events() const { return transcript_.events; }

  std::string RegistryText() { return machine_.registry().ExportText(); }

  TempDir temp_;
  std::filesystem::path medium_ = temp_.path() / "medium";
  platform::sim::SimMachine machine_{temp_.path() / "machine", medium_};
  NoBtrieve btrieve_;
  SetupSettings settings_;
  SetupScript script_{machine_.files()};
  LogFile log_{machine_.files()};
  Registry registry_{machine_.registry()};
  Transcript transcript_;
  ProgressList progress_{transcript_};
  MessageText messageText_;
  StepContext ctx_{machine_.platform(), btrieve_, settings_, script_, log_, registry_, progress_, transcript_,
                   messageText_};

 private:
  void OpenLog() {
    MessageText message;
    ASSERT_TRUE(log_.Open("C:\\windows\\Vormex", message)) << message.c_str();
  }

  std::size_t logRead_ = 0;
};

}  // namespace qz::test
