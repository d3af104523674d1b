#include "setup/SetupScript.h"

#include <algorithm>
#include <cstring>

#include "btrieve/MemoryInput.h"
#include "tests/support/SimFixture.h"

namespace qz::test {
namespace {

using Lines = std::vector<std::string>;

class SetupScriptTest : public SimFixture {
 protected:
  void Script(const std::string& bytes) {
    WriteMedium("setup.ini", bytes);
    script_.Close();
    ASSERT_TRUE(script_.Open("setup.ini"));
  }

  // The items of a section as ReadItem yields them, then the line that ended it.
  Lines Items(const std::string& label) {
    Lines items;
    if (!script_.FindLabel(label)) return {"<no label>"};
    FixedText<512> item;
    while (script_.ReadItem(item)) items.emplace_back(item.c_str());
    items.push_back("<" + std::string(item.c_str()) + ">");
    return items;
  }

  SetupScript script_{machine_.files()};
};

TEST_F(SetupScriptTest, SectionsAndItems) {
  Script("free text before\r\n  AppName:  \r\n\r\n  \"Számla\"  \r\n\t\"second\"\nHome:\nDIR \"DATA\"\nMenu:\nDesktop:\n");
  EXPECT_EQ(Items("AppName:"), (Lines{"\"Számla\"", "\"second\"", "<Home:>"})) << "CR LF or LF, blanks trimmed";
  EXPECT_EQ(Items("Home:"), (Lines{"DIR \"DATA\"", "<Menu:>"}));
  EXPECT_EQ(Items("Menu:"), (Lines{"<Desktop:>"})) << "a label followed by a label has no items";
  EXPECT_EQ(Items("WinDir:"), (Lines{"<no label>"}));
  EXPECT_EQ(Items("AppName:"), (Lines{"\"Számla\"", "\"second\"", "<Home:>"})) << "every search starts afresh";
  Script("appname:\nAppName: x\nAppName:\n\"first\"\nAppName:\n\"second\"\n");
  EXPECT_EQ(Items("AppName:"), (Lines{"\"first\"", "<AppName:>"})) << "labels match whole lines; the first counts";
}

TEST_F(SetupScriptTest, LinesOfAnyLengthAndCutItems) {
  std::string longLabel(700, 'L');
  Script("Home:\n" + std::string(5000, 'x') + "\n" + longLabel + ":\n\"after\"\n");
  ASSERT_TRUE(script_.FindLabel("Home:"));
  FixedText<260> item;
  EXPECT_TRUE(script_.ReadItem(item));
  EXPECT_EQ(item, std::string(259, 'x')) << "a line longer than the buffer arrives cut";
  EXPECT_FALSE(script_.ReadItem(item)) << "a long label line is a label even though its colon was cut off";
  EXPECT_TRUE(script_.FindLabel(longLabel + ":"));
}

TEST_F(SetupScriptTest, NulBytesEndALineAndGarbageIsOnlyText) {
  std::string bytes = "AppName:\n\"ab" + std::string(1, '\0') + "cd\":\n";
  for (int i = 0; i < 3000; ++i) bytes += static_cast<char>((i * 37) & 0xff);
  Script(bytes);
  EXPECT_EQ(Items("AppName:")[0], "\"ab") << "what follows a NUL byte on a line is not read, the colon included";
  EXPECT_FALSE(script_.FindLabel("Home:"));
  script_.Close();
  FixedText<16> item;
  EXPECT_FALSE(script_.Open("missing.ini"));
  EXPECT_FALSE(script_.FindLabel("AppName:"));
  EXPECT_FALSE(script_.ReadItem(item));
}

// A file whose reads fail after the first: a read error counts as the end.
class FailingFile : public MemoryInput {
 public:
  FailingFile() : MemoryInput("AppName:\n\"x\"\n") {}
  bool Read(void* buffer, std::size_t size, std::size_t& got) override {
    return calls_++ == 0 && MemoryInput::Read(buffer, size, got);
  }

 private:
  int calls_ = 0;
};

TEST(LineReaderTest, ChunksAsFgetsReadsThemAndAReadErrorEndsTheFile) {
  platform::LineReader reader(std::make_unique<MemoryInput>("0123456789\r\nEND"));
  FixedText<1024> chunk;
  ASSERT_TRUE(reader.ReadChunk(chunk, 4));
  EXPECT_EQ(chunk, "0123");
  ASSERT_TRUE(reader.ReadChunk(chunk, 1023));
  EXPECT_EQ(chunk, "456789\n");
  ASSERT_TRUE(reader.ReadChunk(chunk, 1023));
  EXPECT_EQ(chunk, "END") << "the last line without its line end";
  EXPECT_FALSE(reader.ReadChunk(chunk, 1023));

  platform::LineReader failing(std::make_unique<FailingFile>());
  std::string line;
  EXPECT_TRUE(failing.ReadLine(line));
  EXPECT_TRUE(failing.ReadLine(line));
  EXPECT_EQ(line, "\"x\"");
  EXPECT_FALSE(failing.ReadLine(line));
  EXPECT_FALSE(failing.ReadLine(line));
}

TEST(ExpandValueTest, TakesTheFirstQuotedTextAndReplacesMacros) {
  DirectoryMacros macros{"C:\\SZAMLA", "C:\\windows\\system32", "C:\\windows"};
  FixedText<260> value;
  EXPECT_EQ(ExpandValue("\"$WINDIR$\\a;$WINDIR$\" \"second\"", value, macros), 20);
  EXPECT_EQ(value, "C:\\windows\\a;C:\\windows");
  EXPECT_EQ(ExpandValue("DIR \"$HOMEDIR$\\$windir$\"", value, macros), 23);
  EXPECT_EQ(value, "C:\\SZAMLA\\$windir$") << "macros are case-sensitive";
  EXPECT_EQ(ExpandValue("Install", value, macros), 0);
  EXPECT_EQ(value, "") << "no quotes give an empty value";
  EXPECT_EQ(ExpandValue("\"open to the end", value, macros), 0);
  EXPECT_EQ(value, "open to the end");
  EXPECT_EQ(ExpandValue("x\"$SYSDIR$\"", value, macros), 10);
  EXPECT_EQ(value, "C:\\windows\\system32");
  EXPECT_EQ(ExpandValue("", value, macros), 0);
  EXPECT_EQ(ExpandValue("\"", value, macros), 0);
  // In place: the macro stands for the field as it was before the value was taken.
  value = "  \"$HOMEDIR$\\APP\" trailing";
  ExpandValue(value.view(), value, DirectoryMacros{value.view(), "S", "W"});
  EXPECT_EQ(value, "  \"$HOMEDIR$\\APP\" trailing\\APP");
}

TEST(ExpandValueTest, ValuesThatDoNotFitAreCutAndReported) {
  std::string home(200, 'h');
  DirectoryMacros macros{home, "S", "W"};
  FixedText<32> version;
  bool whole = true;
  ExpandValue("\"" + std::string(40, '1') + "\"", version, macros, &whole);
  EXPECT_FALSE(whole);
  EXPECT_EQ(version, std::string(31, '1'));
  FixedText<512> big;
  ExpandValue("\"$HOMEDIR$$HOMEDIR$$HOMEDIR$\"", big, macros, &whole);
  EXPECT_FALSE(whole);
  EXPECT_EQ(big.length(), 511u);
  ExpandValue("\"$HOMEDIR$\"", big, macros, &whole);
  EXPECT_TRUE(whole);
}

TEST(ReplaceAllTest, NonOverlappingNeverRescannedAndAtMost511Characters) {
  FixedText<1024> text;
  text = "aaaa";
  ReplaceAll(text, "aa", "a");
  EXPECT_EQ(text, "aa");
  text = "$X$$X$";
  ReplaceAll(text, "$X$", "$X$$X$");
  EXPECT_EQ(text, "$X$$X$$X$$X$");
  EXPECT_TRUE(ReplaceAll(text, "", "y"));
  EXPECT_EQ(text, "$X$$X$$X$$X$");
  text.Assign(std::string(600, 'a') + "$WINDIR$");
  EXPECT_FALSE(ReplaceAll(text, "$WINDIR$", "C:\\windows"));
  EXPECT_EQ(text, std::string(511, 'a')) << "the macro past the 511th character is lost with the rest";
}

TEST(VersionTest, ComparedAsText) {
  EXPECT_GT(CompareVersions("1.9", "1.10"), 0);
  EXPECT_LT(CompareVersions("2.0", "2.0a"), 0);
  EXPECT_EQ(CompareVersions("2.1", "2.1"), 0);
  EXPECT_GT(CompareVersions("2.\xE9", "2.z"), 0) << "bytes compare as unsigned";
  EXPECT_LT(CompareVersions("", "0"), 0);
}

}  // namespace
}  // namespace qz::test
