// The setup program's dialogs as the resource script gives them (the
// simulated machine reads the same script), and the script reader itself.

#include <sys/wait.h>

#include <cstdlib>

#include "platform/sim/DialogTemplate.h"
#include "tests/support/SimFixture.h"

namespace qz::templates {
extern const platform::sim::DialogTemplateSet kQZSetupDialogs;
}

namespace qz::test {
namespace {

using platform::sim::DialogTemplate;

constexpr std::uint32_t kDisabled = 0x08000000, kSysMenu = 0x00080000, kDefPush = 0x1, kGroupBox = 0x7;
constexpr std::uint32_t kReadOnly = 0x0800, kMultiLine = 0x0004, kBorder = 0x00800000, kVScroll = 0x00200000;
constexpr std::uint32_t kAutoHScroll = 0x0080, kEtchedHorz = 0x10, kIcon = 0x3;

const DialogTemplate& Dialog(int id) {
  const DialogTemplate* d = qz::templates::kQZSetupDialogs.Find(id);
  if (!d) throw std::runtime_error("no dialog " + std::to_string(id));
  return *d;
}

// The controls in tab order: their ids, with the buttons' texts.
std::string Controls(const DialogTemplate& d) {
  std::string out;
  for (std::size_t i = 0; i < d.controlCount; ++i) {
    const auto& c = d.controls[i];
    out += (i ? " " : "") + std::to_string(c.id) + (std::string(c.className) == "Button" ? ":" + std::string(c.text) : "");
  }
  return out;
}

TEST(DialogTemplatesTest, ControlsInTabOrderAndOnlyTheConfirmationWithACloseBox) {
  EXPECT_EQ(Controls(Dialog(101)), "1:Tovább > 2:Kilép 1005 -1 -1");
  EXPECT_EQ(Controls(Dialog(102)), "1005 1:Elfogad 2:Kilép 1002:< Vissza -1 -1");
  EXPECT_EQ(Controls(Dialog(103)), "-1 1002:< Vissza -1 1011:Tallóz... 1:Tovább > 2:Kilép -1:Telepítési könyvtár 1005 -1 -1 -1 -1");
  EXPECT_EQ(Controls(Dialog(105)), "1:Befejezés -1 -1 1017 -1 -1");
  EXPECT_EQ(Controls(Dialog(116)), "1:Folytat 2:Kilép -1 -1 -1");
  for (int id : {101, 102, 103, 105}) {
    const DialogTemplate& d = Dialog(id);
    EXPECT_EQ(std::tuple(d.width, d.height, d.style & kSysMenu), std::tuple(350, 202, 0u)) << id;
    // The footer: an etched line and the maker's greyed label.
    EXPECT_EQ(d.controls[d.controlCount - 2].style & 0x1F, kEtchedHorz);
    EXPECT_STREQ(d.controls[d.controlCount - 1].text, "Vormex Software");
    EXPECT_NE(d.controls[d.controlCount - 1].style & kDisabled, 0u);
  }
  EXPECT_NE(Dialog(116).style & kSysMenu, 0u);
}

TEST(DialogTemplatesTest, StylesMarkWhatTheOperatorMeets) {
  const DialogTemplate& welcome = Dialog(101);
  EXPECT_EQ(welcome.controls[0].style & 0xF, kDefPush);
  EXPECT_EQ(welcome.controls[2].style & (kMultiLine | kReadOnly | kBorder | kVScroll), kMultiLine | kReadOnly);
  EXPECT_EQ(Dialog(102).controls[0].style & (kMultiLine | kReadOnly | kBorder | kVScroll),
            kMultiLine | kReadOnly | kBorder | kVScroll);
  const DialogTemplate& directory = Dialog(103);
  EXPECT_EQ(directory.controls[2].style & 0x1F, kIcon);
  EXPECT_EQ(directory.controls[4].style & 0xF, kDefPush);
  EXPECT_EQ(directory.controls[6].style & 0xF, kGroupBox);
  EXPECT_EQ(directory.controls[7].style & (kBorder | kAutoHScroll | kReadOnly), kBorder | kAutoHScroll);
  const DialogTemplate& progress = Dialog(105);
  EXPECT_STREQ(progress.caption, "Telepítés");
  EXPECT_NE(progress.controls[0].style & kDisabled, 0u) << "Befejezés starts disabled";
  EXPECT_EQ(progress.controls[0].style & 0xF, 0u) << "and is no default button";
  EXPECT_STREQ(progress.controls[3].className, "ListBox");
  EXPECT_EQ(progress.controls[3].style & 0x103, 0x101u) << "notify, no integral height, unsorted";
}

// The reader: what a script may hold besides dialogs, and its errors.
class RcgenTest : public ::testing::Test {
 protected:
  int Generate(const std::string& script) {
    std::ofstream(temp_.path() / "t.rc", std::ios::binary) << script;
    std::string command = "'" QZ_RCGEN "' '" + (temp_.path() / "t.rc").string() + "' '" +
                          (temp_.path() / "t.cpp").string() + "' kTest 2> '" + (temp_.path() / "err").string() + "'";
    int status = std::system(command.c_str());
    output_ = HostText(temp_.path() / "t.cpp");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  TempDir temp_;
  std::string output_;
};

TEST_F(RcgenTest, ReadsDialogsAmongOtherResources) {
  EXPECT_EQ(Generate("#pragma code_page(65001)\n#include <windows.h>\n#define IDD_X 200\n#define IDC_E 10\n"
                     "/* icons */ 1 ICON \"a.ico\"\n1 VERSIONINFO\nBEGIN\n BLOCK \"x\"\n BEGIN\n VALUE \"a\", \"b\"\n END\nEND\n"
                     "STRINGTABLE\nBEGIN\n 1, \"s\"\nEND\n"
                     "IDD_X DIALOGEX 0, 0, 100, 50\nSTYLE DS_MODALFRAME | WS_POPUP | WS_CAPTION\nCAPTION \"A \"\"q\"\" \xC5\x91\"\n"
                     "FONT 8, \"MS Sans Serif\", 0, 0, 0x1\nBEGIN\n"
                     "  EDITTEXT IDC_E, 1, 2, 3, 4, ES_READONLY | NOT WS_BORDER // comment\n"
                     "  LTEXT \"a\\nb\", IDC_STATIC, 5, 6, 7, 8\nEND\n"),
            0);
  EXPECT_THAT(output_, HasSubstr("{200, \"A \\042q\\042 \\365\""));
  EXPECT_THAT(output_, HasSubstr("{\"Edit\", 10, \"\", 1, 2, 3, 4, 0x50010800"));
  EXPECT_THAT(output_, HasSubstr("{\"Static\", -1, \"a\\012b\", 5, 6, 7, 8, 0x50020000"));
}

TEST_F(RcgenTest, RefusesWhatItCannotRead) {
  EXPECT_NE(Generate("1 DIALOG 0, 0, 1, 1\nBEGIN\n  FOO \"x\", 1, 2, 3, 4, 5\nEND\n"), 0);
  EXPECT_NE(Generate("1 DIALOG 0, 0, 1, 1\nBEGIN\n  LTEXT \"open, 1, 2, 3, 4, 5\nEND\n"), 0);
  EXPECT_NE(Generate("1 DIALOG 0, 0, 1, 1\nSTYLE WS_NONSENSE\nBEGIN\nEND\n"), 0);
  EXPECT_NE(Generate("#pragma code_page(1250)\n"), 0);
  EXPECT_NE(Generate("1 DIALOG 0, 0, 1, 1\nBEGIN\n  LTEXT \"\xF5\", 1, 2, 3, 4, 5\nEND\n"), 0) << "not UTF-8";
}

}  // namespace
}  // namespace qz::test
