#pragma once
// A setup run's context on a fresh simulated machine, and what the user saw
// (list lines and message boxes) in order.

#include <string>
#include <vector>

#include "engine/StepContext.h"
#include "platform/sim/SimList.h"
#include "tests/support/SimFixture.h"

namespace qz::test {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class NoBtrieve : public platform::BtrieveEngine {
 public:
  std::uint16_t Call(std::uint16_t, void*, void*, std::uint32_t*, void*, std::uint8_t, std::int8_t) override {
    return 20;  // record manager inactive
  }
};

// The page's progress list and message boxes; boxes must be warnings.
class Transcript : public platform::ListControl, public platform::MessageOwner {
 public:
  void AddString(const char* text) override {
    list.AddString(text);
    events.push_back(std::string("list: ") + text);
  }
  void SelectString(int start, const char* prefix) override { list.SelectString(start, prefix); }
  int ShowMessage(const char* text, const char* caption, platform::Buttons buttons, platform::Icon icon) override {
    EXPECT_STREQ(caption, "QZSetup");
    EXPECT_EQ(buttons, platform::Buttons::Ok);
    EXPECT_EQ(icon, platform::Icon::Exclamation);
    events.push_back(std::string("box: ") + text);
    return platform::kIdOk;
  }

  platform::sim::SimList list;
  std::vector<std::string> events;
};

class StepFixture : public SimFixture {
 protected:
  StepFixture() {
    settings_.installType = kInstallInstall;
    settings_.appName = "Próba";
    settings_.appVersion = "2.0";
    settings_.homeDir = "C:\\APP";
    settings_.winDir = "C:\\windows";
    settings_.sysDir = "C:\\windows\\system32";
    settings_.vormexDir = "C:\\windows\\Vormex";
    OpenLog();
  }

  // setup.ini with CR LF line ends, opened as the run opens it.
  void WriteScript(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    WriteMedium("setup.ini", text);
    script_.Close();
    ASSERT_TRUE(script_.Open("setup.ini"));
  }

  bool IsReadOnly(const std::string& path) {
    std::uint32_t attributes = 0;
    EXPECT_EQ(machine_.files().GetAttributes(path.c_str(), attributes), platform::kOk) << path;
    return (attributes & platform::kAttributeReadOnly) != 0;
  }

  // The log written since the last call, with "\n" line ends and without
  // the closing gap that taking it adds.
  std::string TakeLog() {
    std::string all = LogBytes();
    std::string fresh = Lf(all.substr(logRead_));
    logRead_ = all.size();
    OpenLog();
    return fresh.substr(0, fresh.size() - 3);
  }

  // A failed action in the log: its line, "ERROR", the code and the
  // system's text for it (which keeps its own CR LF).
  std::string Failed(const std::string& action, platform::ErrorCode code) {
    FixedText<512> message;
    machine_.files().ErrorMessage(code, message);
    return action + "ERROR\n\n!!! LogError : code = " + std::to_string(code) + ", Message : " +
           std::string(message.view()) + "\n";
  }

  const std::vector<std::string>& events() const { return transcript_.events; }

  NoBtrieve btrieve_;
  SetupSettings settings_;
  SetupScript script_{machine_.files()};
  Transcript transcript_;
  ProgressList progress_{transcript_};
  StepContext ctx_{machine_.platform(), btrieve_, settings_, script_, log_, registry_, progress_, transcript_};

 private:
  std::size_t logRead_ = 0;
};

}  // namespace qz::test
