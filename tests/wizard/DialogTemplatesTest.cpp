// The setup program's dialogs as the resource script gives them (the
// simulated machine reads the same script), and the script reader itself.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/sim/DialogTemplate.h"
#include "tests/support/TempDir.h"

namespace qz::templates {
extern const platform::sim::DialogTemplateSet kQZSetupDialogs;
}

namespace qz::test {
namespace {

using platform::sim::ControlTemplate;
using platform::sim::DialogTemplate;

constexpr std::uint32_t kDisabled = 0x08000000, kSysMenu = 0x00080000, kDefPush = 0x1, kGroupBox = 0x7;
constexpr std::uint32_t kReadOnly = 0x0800, kMultiLine = 0x0004, kBorder = 0x00800000, kVScroll = 0x00200000;
constexpr std::uint32_t kAutoHScroll = 0x0080, kEtchedHorz = 0x10, kIcon = 0x3;

// id, text, x, y, width, height
struct Row {
  int id;
  std::string text;
  int x, y, w, h;
};

const DialogTemplate& Dialog(int id) {
  const DialogTemplate* d = qz::templates::kQZSetupDialogs.Find(id);
  if (!d) throw std::runtime_error("no dialog " + std::to_string(id));
  return *d;
}

void ExpectRows(const DialogTemplate& d, const std::vector<Row>& rows) {
  ASSERT_EQ(d.controlCount, rows.size()) << "dialog " << d.id;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const ControlTemplate& c = d.controls[i];
    SCOPED_TRACE("dialog " + std::to_string(d.id) + " control " + std::to_string(i));
    EXPECT_EQ(c.id, rows[i].id);
    EXPECT_EQ(std::string(c.text), rows[i].text);
    EXPECT_EQ(c.x, rows[i].x);
    EXPECT_EQ(c.y, rows[i].y);
    EXPECT_EQ(c.width, rows[i].w);
    EXPECT_EQ(c.height, rows[i].h);
  }
}

const std::vector<Row> kFooter = {{-1, "", 63, 170, 280, 1}, {-1, "Vormex Software", 7, 166, 50, 11}};

std::vector<Row> WithFooter(std::vector<Row> rows) {
  rows.insert(rows.end(), kFooter.begin(), kFooter.end());
  return rows;
}

TEST(DialogTemplatesTest, ThePagesAreLaidOutAsDesigned) {
  for (int id : {101, 102, 103, 105}) {
    const DialogTemplate& d = Dialog(id);
    EXPECT_EQ(d.width, 350);
    EXPECT_EQ(d.height, 202);
    EXPECT_STREQ(d.font, "MS Sans Serif");
    EXPECT_EQ(d.fontSize, 8);
    EXPECT_EQ(d.style & kSysMenu, 0u) << id << " has no close box";
    const ControlTemplate& line = d.controls[d.controlCount - 2];
    const ControlTemplate& label = d.controls[d.controlCount - 1];
    EXPECT_EQ(line.style & 0x1F, kEtchedHorz);
    EXPECT_NE(label.style & kDisabled, 0u) << "the maker's label is greyed";
  }
  ExpectRows(Dialog(101), WithFooter({{1, "Tovább >", 227, 181, 50, 14},
                                      {2, "Kilép", 293, 181, 50, 14},
                                      {1005, "", 167, 7, 176, 160}}));
  ExpectRows(Dialog(102), WithFooter({{1005, "", 167, 7, 176, 153},
                                      {1, "Elfogad", 227, 181, 50, 14},
                                      {2, "Kilép", 293, 181, 50, 14},
                                      {1002, "< Vissza", 173, 181, 50, 14}}));
  ExpectRows(Dialog(103),
             WithFooter({{-1,
                          "Adjon meg egy könyvtárat, ahova az alkalmazás és a hozzá tartozó fájllok valamint "
                          "alkönyvtárak kerüljenek. Ha Ön frissíti a szoftvert, akkor a program csak az eredeti "
                          "könyvtárba kerül.",
                          166, 7, 177, 35},
                         {1002, "< Vissza", 173, 181, 50, 14},
                         {-1, "31234", 168, 98, 20, 20},
                         {1011, "Tallóz...", 305, 138, 31, 14},
                         {1, "Tovább >", 227, 181, 50, 14},
                         {2, "Kilép", 293, 181, 50, 14},
                         {-1, "Telepítési könyvtár", 167, 126, 176, 34},
                         {1005, "", 174, 138, 126, 14},
                         {-1,
                          "Nyomja meg a Tovább gombot, ha az alapértelmezett könyvtárba szeretné telepíteni a "
                          "programot. ",
                          166, 47, 177, 20},
                         {-1, "Ha meg szeretné változtatni a telepítési könyvtárat, akkor nyomja meg a Tallóz gombot.",
                          166, 72, 177, 24}}));
  ExpectRows(Dialog(105), WithFooter({{1, "Befejezés", 293, 181, 50, 14},
                                      {-1, "31234", 173, 7, 20, 20},
                                      {-1, "A telepítés folyamatban...", 201, 13, 80, 8},
                                      {1017, "", 165, 28, 178, 132}}));
}

TEST(DialogTemplatesTest, StylesMarkWhatTheOperatorMeets) {
  const DialogTemplate& welcome = Dialog(101);
  EXPECT_EQ(welcome.controls[0].style & 0xF, kDefPush);
  EXPECT_EQ(welcome.controls[2].style & (kMultiLine | kReadOnly), kMultiLine | kReadOnly);
  EXPECT_EQ(welcome.controls[2].style & (kBorder | kVScroll), 0u);
  const DialogTemplate& licence = Dialog(102);
  EXPECT_EQ(licence.controls[0].style & (kMultiLine | kReadOnly | kBorder | kVScroll),
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
  const DialogTemplate& confirm = Dialog(116);
  EXPECT_EQ(confirm.width, 233);
  EXPECT_EQ(confirm.height, 119);
  EXPECT_NE(confirm.style & kSysMenu, 0u) << "the confirmation has a close box";
  ExpectRows(confirm,
             {{1, "Folytat", 108, 98, 50, 14},
              {2, "Kilép", 161, 98, 50, 14},
              {-1, "A telepítés nem fejeződött be. Ha most kilép a telepítőből,\nakkor a progam nem lesz telepítve.", 7, 7,
               219, 18},
              {-1, "A telepítőt későbbi időpontban is futtathatja, hogy  elvégezze\na szoftver installációját.", 7, 32,
               219, 18},
              {-1,
               "A telepítés folytatásához nyomja meg a Folytat gombot. Ha\nmeg akarja szakítani a telepítést nyomja "
               "meg a Kilép gombot.",
               7, 57, 196, 20}});
}

// The reader: what a script may hold besides dialogs, and its errors.
class RcgenTest : public ::testing::Test {
 protected:
  int Generate(const std::string& script) {
    std::ofstream(temp_.path() / "t.rc", std::ios::binary) << script;
    std::string command = "'" QZ_RCGEN "' '" + (temp_.path() / "t.rc").string() + "' '" +
                          (temp_.path() / "t.cpp").string() + "' kTest 2> '" + (temp_.path() / "err").string() + "'";
    int status = std::system(command.c_str());
    std::ifstream out(temp_.path() / "t.cpp", std::ios::binary);
    std::stringstream text;
    text << out.rdbuf();
    output_ = text.str();
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
  EXPECT_NE(output_.find("{200, \"A \\042q\\042 \\365\""), std::string::npos) << output_;
  EXPECT_NE(output_.find("{\"Edit\", 10, \"\", 1, 2, 3, 4, 0x50010800"), std::string::npos) << output_;
  EXPECT_NE(output_.find("{\"Static\", -1, \"a\\012b\", 5, 6, 7, 8, 0x50020000"), std::string::npos) << output_;
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
