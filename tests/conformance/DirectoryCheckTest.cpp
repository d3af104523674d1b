// The directory page's check of the home directory, on both machines: the
// page types its own texts and presses OK; the message boxes it shows are
// answered by the simulated operator, or on Win32 by a thread that finds
// and clicks them as a person would.

#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "setup/NoBtrieveEngine.h"
#include "setup/WizardPages.h"
#include "tests/support/TestMachine.h"

#ifdef _WIN32
#include <windows.h>

#include <thread>

#include "platform/win32/WideText.h"
#else
#include "platform/sim/DialogTemplate.h"
#include "platform/sim/ScriptedOperator.h"

namespace qz::templates {
extern const platform::sim::DialogTemplateSet kQZSetupDialogs;
}
#endif

namespace qz::test {
namespace {

using namespace platform;

// The directory page, typing each text in turn and pressing OK until the
// page ends.
class TypingDirectoryPage : public DirectoryPage {
 public:
  TypingDirectoryPage(SetupApp& app, std::vector<std::string> texts) : DirectoryPage(app), texts_(std::move(texts)) {}
  void OnShow(Dialog& dialog) override { dialog.PostCommand(kNext); }
  void OnCommand(Dialog& dialog, int id) override {
    if (id != kNext) {
      DirectoryPage::OnCommand(dialog, id);
      return;
    }
    if (typed_ == texts_.size()) {
      dialog.End(kPageLeave);
      return;
    }
    if (typed_ > 0) shownAfter.push_back(Text(dialog));
    Type(dialog, texts_[typed_++]);
    // OK is handled here as its button's click would be; the next text is
    // posted only then (Windows hands posted commands to the page even while
    // one of its message boxes is open).
    // A page that has ended drops what was posted to it.
    Dispatch(dialog, kIdOk);
    dialog.PostCommand(kNext);
  }
  std::size_t typed() const { return typed_; }
  std::vector<std::string> shownAfter;  // the box's text when the page stayed

 protected:
  virtual void Type(Dialog& dialog, const std::string& text) { dialog.SetItemText(kTextBox, text.c_str()); }

 private:
  static constexpr int kNext = 9100;
  static std::string Text(Dialog& dialog) {
    PathText text;
    dialog.GetItemText(kTextBox, text);
    return text.c_str();
  }
  std::vector<std::string> texts_;
  std::size_t typed_ = 0;
};

// The directory page given "<parent>\Пример ő", with letters Windows-1250
// lacks, as a person types it on a system with another code page.
class ForeignTextPage : public TypingDirectoryPage {
 public:
  ForeignTextPage(SetupApp& app, const std::string& parent) : TypingDirectoryPage(app, {parent}), parent_(parent) {}
  // What the programs see of the text: a '?' for each Cyrillic letter.
  std::string Shown() const { return parent_ + "\\?????? ő"; }

 private:
  void Type([[maybe_unused]] Dialog& dialog, const std::string&) override {
#ifdef _WIN32
    HWND page = FindWindowW(L"#32770", L"Telepítési könyvtár");
    SetDlgItemTextW(page, kTextBox, (platform::win32::Wide(parent_) + L"\\Пример ő").c_str());
#else
    dynamic_cast<sim::SimDialog&>(dialog).TypeNotConvertible(kTextBox, Shown());
#endif
  }
  std::string parent_;
};

#ifdef _WIN32
// Answers the process's message boxes (other than the page) from a list,
// recording their captions and texts.
class BoxAnswerer {
 public:
  explicit BoxAnswerer(std::deque<int> answers) : answers_(std::move(answers)), thread_([this] { Loop(); }) {}
  ~BoxAnswerer() {
    stop_ = true;
    thread_.join();
  }
  std::vector<std::string> Seen() {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
  }

 private:
  static BOOL CALLBACK Visit(HWND window, LPARAM param) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) && std::wstring(className) == L"#32770" &&
        GetDlgItem(window, 1011) == nullptr) {
      reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    }
    return TRUE;
  }
  // Boxes come one at a time (each is modal): a box is answered, then its
  // end is awaited before the next is looked for.
  void Loop() {
    while (!stop_) {
      std::vector<HWND> boxes;
      EnumWindows(Visit, reinterpret_cast<LPARAM>(&boxes));
      if (boxes.empty()) {
        Sleep(20);
        continue;
      }
      HWND box = boxes.front();
      wchar_t caption[256] = {}, text[1024] = {};
      GetWindowTextW(box, caption, 256);
      GetWindowTextW(GetDlgItem(box, 0xFFFF), text, 1024);
      std::string shownCaption, shownText;
      platform::win32::Narrow(caption, shownCaption);
      platform::win32::Narrow(text, shownText);
      int answer = IDOK;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        seen_.push_back(shownCaption + ": " + shownText);
        if (!answers_.empty()) {
          answer = answers_.front();
          answers_.pop_front();
        }
      }
      PostMessageW(GetDlgItem(box, answer), BM_CLICK, 0, 0);
      for (int waited = 0; IsWindow(box) && IsWindowVisible(box) && waited < 10000; waited += 10) Sleep(10);
    }
  }

  std::mutex mutex_;
  std::deque<int> answers_;
  std::vector<std::string> seen_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};
#else
// Answers the page's message boxes from a list, recording their captions
// and texts.
class BoxAnswerer : public sim::ScriptedOperator {
 public:
  explicit BoxAnswerer(std::deque<int> answers) {
    for (int answer : answers) ScriptedOperator::Answer(answer);
  }
  int Answer(const sim::MessageBoxView& box) override {
    seen_.push_back(box.caption + ": " + box.text);
    return ScriptedOperator::Answer(box);
  }
  std::vector<std::string> Seen() { return seen_; }

 private:
  std::vector<std::string> seen_;
};
#endif

class DirectoryCheckTest : public ::testing::Test {
 protected:
  DirectoryCheckTest() {
    app_.settings.installType = kInstallInstall;
    app_.settings.winDir = machine_->platform().files.WindowsDir();
    app_.settings.sysDir = machine_->platform().files.SystemDir();
    app_.settings.vormexDir.Format("%s\\Vormex", app_.settings.winDir.c_str());
    app_.settings.homeDir.Format("%s\\Default", machine_->scratchDir().c_str());
#ifndef _WIN32
    dynamic_cast<sim::SimUserInterface&>(machine_->platform().ui).SetTemplates(qz::templates::kQZSetupDialogs);
#endif
  }

  // Runs the page with the texts; message boxes get the answers in turn.
  // Returns the page's result; `boxes_` holds "caption: text" of each box.
  int Run(DirectoryPage& page, std::deque<int> answers) {
    BoxAnswerer answerer(std::move(answers));
#ifndef _WIN32
    dynamic_cast<sim::SimUserInterface&>(machine_->platform().ui).SetOperator(&answerer);
#endif
    int result = machine_->platform().ui.RunDialog(page);
    boxes_ = answerer.Seen();
    return result;
  }

  std::string Dir(const std::string& name) { return machine_->scratchDir() + "\\" + name; }
  bool Exists(const std::string& path) {
    std::uint32_t attributes = 0;
    return machine_->platform().files.GetAttributes(path.c_str(), attributes) == kOk;
  }
  std::string Program() { return machine_->platform().ui.ProgramName(); }

  std::unique_ptr<TestMachine> machine_ = TestMachine::Create();
  NoBtrieveEngine btrieve_;
  SetupApp app_{machine_->platform(), btrieve_, {}};
  std::vector<std::string> boxes_;
};

TEST_F(DirectoryCheckTest, RefusedTextsKeepThePageAndTheLastOneIsMadeWithoutItsBackslash) {
  // The space and the 24 accented letters (two bytes each in this source's
  // Windows-1250: one byte each).
  std::string refused = " áâäéëíöőôóüűÁÂÄÉËÍÓÖŐÔÜŰ";
  std::vector<std::string> texts;
  for (char letter : refused) texts.push_back(Dir(std::string("K") + letter + "N"));
  texts.push_back(Dir("missing\\sub"));
  texts.push_back("");
  texts.push_back(Dir("Újú\\"));  // ú and Ú are not refused
  TypingDirectoryPage page(app_, texts);
  EXPECT_EQ(Run(page, std::deque<int>(texts.size() - 1, kIdOk)), kPageForward);
  EXPECT_EQ(page.typed(), texts.size());
  std::string accentMessage = Program() + ": A könyvtár nevében nem szerepelhet ékezetes betű, sem szóköz karakter!";
  std::vector<std::string> expected(refused.size(), accentMessage);
  expected.push_back(Program() + ": Hibás könyvtár (" + Dir("missing\\sub") + ")");
  expected.push_back(Program() + ": Hibás könyvtár ()");
  EXPECT_EQ(boxes_, expected);
  EXPECT_EQ(page.shownAfter, std::vector<std::string>(texts.begin(), texts.end() - 1));
  EXPECT_STREQ(app_.settings.homeDir.c_str(), Dir("Újú").c_str());
  EXPECT_TRUE(Exists(Dir("Újú")));
}

// A text with letters Windows-1250 lacks is refused first, with its own
// message rather than the accented letters' one, and never made.
TEST_F(DirectoryCheckTest, ATextWindows1250CannotCarryIsRefusedBeforeItsAccentedLetters) {
  ForeignTextPage page(app_, machine_->scratchDir());
  EXPECT_EQ(Run(page, {kIdOk}), kPageLeave);
  EXPECT_EQ(boxes_, std::vector<std::string>{
                        Program() + ": A könyvtár neve a Windows-1250 kódlapon kívüli karaktert tartalmaz!"});
  EXPECT_EQ(app_.settings.homeDir.c_str(), page.Shown());
  std::unique_ptr<DirectorySearch> search;
  ErrorCode error = kOk;
  search = machine_->platform().files.FindFiles((machine_->scratchDir() + "\\*").c_str(), error);
  FindEntry entry;
  while (search && search->Next(entry)) EXPECT_TRUE(entry.IsDots()) << entry.name.c_str();
}

// No, which keeps the page, is the end-to-end runs'.
TEST_F(DirectoryCheckTest, AnExistingDirectoryIsTakenOnYes) {
  ASSERT_EQ(machine_->platform().files.MakeDirectory(Dir("there").c_str()), kOk);
  TypingDirectoryPage page(app_, {Dir("there")});
  EXPECT_EQ(Run(page, {kIdYes}), kPageForward);
  EXPECT_EQ(boxes_, (std::vector<std::string>{"Hiba: A könyvtár már létezik! \n Fölül akarja írni?"}));
  EXPECT_STREQ(app_.settings.homeDir.c_str(), Dir("there").c_str());
}

}  // namespace
}  // namespace qz::test
