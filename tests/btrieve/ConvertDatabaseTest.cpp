// The access layer's requests, and the conversion step over a home
// directory on the simulated machine with the stand-in engine it runs.

#include <cstring>

#include "btrieve/BtrieveFile.h"
#include "btrieve/ConversionPlan.h"
#include "btrieve/ConvertDatabase.h"
#include "btrieve/DbStat.h"
#include "btrieve/MemoryInput.h"
#include "platform/sim/SimList.h"
#include "platform/sim/btrieve/SimBtrieve.h"
#include "tests/support/SimFixture.h"
#include "tools/btrmake/BtrMake.h"

namespace qz::test {
namespace {

using Texts = std::vector<std::string>;

// A database file as btrmake makes it.
std::string DatabaseFile() {
  platform::LineReader reader(std::make_unique<MemoryInput>(
      "START\nFile name=T\nRecord length=40\nPage size=512\nNr. of segments=1\nIdx=0,1,8,3,0,0,0,0\nEND\n"));
  TableMap tables;
  ReadTablesFrom(reader, tables);
  std::vector<std::uint8_t> bytes;
  std::string problem;
  if (!btrmake::MakeVersion5File(*tables["T"], bytes, problem)) throw std::runtime_error(problem);
  return std::string(bytes.begin(), bytes.end());
}

// The machine's engine, watched: each request as "operation [path] ->
// status" and with its arguments; the Stat request of one file can be
// made to fail.
class WatchedEngine : public platform::BtrieveEngine {
 public:
  struct Seen {
    void* data;
    std::uint32_t lengthSent;
    bool dataCleared;  // the first 64 bytes of the data buffer were zero
  };
  explicit WatchedEngine(platform::BtrieveEngine& engine) : engine_(engine) {}
  std::uint16_t Call(std::uint16_t operation, void* block, void* data, std::uint32_t* length, void* key,
                     std::uint8_t keyLength, std::int8_t keyNumber) override {
    static const std::uint8_t zeros[64] = {};
    seen.push_back({data, *length, data && *length >= 64 && std::memcmp(data, zeros, 64) == 0});
    std::string request = std::to_string(operation);
    if (operation == 0) request += " " + (lastOpened_ = static_cast<const char*>(key));
    std::uint16_t status = engine_.Call(operation, block, data, length, key, keyLength, keyNumber);
    if (operation == 15 && lastOpened_ == failStatOf) status = 30;
    requests.push_back(request + " -> " + std::to_string(status));
    return status;
  }
  Texts requests;
  std::vector<Seen> seen;
  std::string failStatOf;

 private:
  platform::BtrieveEngine& engine_;
  std::string lastOpened_;
};

class NoMessages : public platform::MessageOwner {
 public:
  int ShowMessage(const char*, const char*, platform::Buttons, platform::Icon) override {
    ADD_FAILURE() << "the step shows no message";
    return platform::kIdOk;
  }
};

class ConvertDatabaseTest : public SimFixture {
 protected:
  ConvertDatabaseTest() {
    OpenLog();
    settings_.homeDir.Assign("C:\\App");
    settings_.oldVersion.Assign("1.0");
    settings_.appVersion.Assign("2.0");
  }

  // Runs the step afresh: its list lines, requests and log (without the
  // line ends' CRs and the closing gap) are what this run made.
  bool Run() {
    list_ = platform::sim::SimList();
    engine_.requests.clear();
    bool result = ConvertDatabase(ctx_);
    std::string text = Lf(LogBytes());
    log = text.substr(logRead_, text.size() - 3 - logRead_);
    logRead_ = text.size();
    OpenLog();
    return result;
  }
  const Texts& Lines() { return list_.items(); }

  platform::sim::SimBtrieve simEngine_{machine_};
  WatchedEngine engine_{simEngine_};
  SetupSettings settings_;
  SetupScript script_{machine_.files()};
  platform::sim::SimList list_;
  ProgressList progress_{list_};
  NoMessages messages_;
  StepContext ctx_{machine_.platform(), engine_, settings_, script_, log_, registry_, progress_, messages_};
  std::string log;
  std::size_t logRead_ = 0;
};

// The access layer: Open then exactly one Stat into a buffer cleared every
// time, no Stat after a failed Open; one object serves file after file.
// (A file whose Stat failed is held until the step closes it: below. The
// requests' other arguments: the engine refuses wrong ones end to end.)
TEST_F(ConvertDatabaseTest, TheAccessLayersRequests) {
  WriteFile("C:\\App\\A.DAT", DatabaseFile());
  auto file = std::make_unique<BtrieveFile>(engine_);
  for (int pass = 0; pass < 2; ++pass) {
    ASSERT_EQ(file->Open("C:\\App\\A.DAT"), 0);
    EXPECT_EQ(file->dataLength(), 16u + 16) << "the length the engine returned";
    ASSERT_EQ(file->Call(BtrieveFile::kClose), 0);
  }
  EXPECT_EQ(file->Open("C:\\App\\NONE.DAT"), 12);
  EXPECT_FALSE(file->IsOpen());
  EXPECT_EQ(engine_.requests, (Texts{"0 C:\\App\\A.DAT -> 0", "15 -> 0", "1 -> 0", "0 C:\\App\\A.DAT -> 0", "15 -> 0",
                                     "1 -> 0", "0 C:\\App\\NONE.DAT -> 12"}));
  EXPECT_EQ(std::tuple(engine_.seen[1].data, engine_.seen[1].lengthSent), std::tuple(file->statBuffer(), 33455u));
  EXPECT_TRUE(engine_.seen[4].dataCleared) << "the Stat buffer is cleared every time";
}

TEST_F(ConvertDatabaseTest, PassOverThreeDatabaseDirectories) {
  // Directories named in upper case ".DAT" only; files "*.DAT" without
  // regard to case.
  for (const char* dir : {"C:\\App\\C.DAT", "C:\\App\\A.DAT", "C:\\App\\B.DAT", "C:\\App\\x.dat", "C:\\App\\DATA",
                          "C:\\App\\.DAT", "C:\\App\\DAT"}) {
    MakeDirs(dir);
  }
  for (const char* file : {"C:\\App\\A.DAT\\ONE.DAT", "C:\\App\\A.DAT\\two.dat", "C:\\App\\C.DAT\\THREE.DAT",
                           "C:\\App\\Z.DAT", "C:\\App\\x.dat\\LOWER.DAT", "C:\\App\\DATA\\OTHER.DAT"}) {
    WriteFile(file, DatabaseFile());
  }
  WriteFile("C:\\App\\A.DAT\\readme.txt");
  EXPECT_TRUE(Run());
  EXPECT_EQ(Lines(), (Texts{"   Konvertálás : .DAT", "   Konvertálás : A.DAT", "      C:\\App\\A.DAT\\ONE.DAT",
                            "      C:\\App\\A.DAT\\two.dat", "   Konvertálás : B.DAT", "   Konvertálás : C.DAT",
                            "      C:\\App\\C.DAT\\THREE.DAT"}));
  EXPECT_EQ(simEngine_.OpenFiles(), 0u);
}

// A file whose Stat fails is closed, and the pass ends there as it does at
// a file that cannot be opened. (A file the engine refuses: the end-to-end
// run of a failed conversion.)
TEST_F(ConvertDatabaseTest, StopsAtTheFirstFileThatFailsAndClosesIt) {
  for (const char* file : {"C:\\App\\A.DAT\\1.DAT", "C:\\App\\A.DAT\\3.DAT", "C:\\App\\B.DAT\\4.DAT"}) {
    WriteFile(file, DatabaseFile());
  }
  engine_.failStatOf = "C:\\App\\A.DAT\\1.DAT";
  EXPECT_FALSE(Run());
  EXPECT_EQ(Lines(), (Texts{"   Konvertálás : A.DAT", "      C:\\App\\A.DAT\\1.DAT"}));
  EXPECT_EQ(engine_.requests, (Texts{"0 C:\\App\\A.DAT\\1.DAT -> 0", "15 -> 30", "1 -> 0"}));
  EXPECT_EQ(log, "\n\n---> Convert database\n\n\n   +++++ Database directory : C:\\App\\A.DAT +++++\n")
      << "no line for the file";
  EXPECT_EQ(simEngine_.OpenFiles(), 0u);

  MakeDirs("C:\\App\\A.DAT\\0.DAT");  // a directory matches "*.DAT" as well
  EXPECT_FALSE(Run());
  EXPECT_EQ(engine_.requests, Texts{"0 C:\\App\\A.DAT\\0.DAT -> 46"});
}

// A home directory that cannot be searched holds no database; a path that
// does not fit a path buffer is never used cut short: the database behind
// it cannot be reached and the step fails.
TEST_F(ConvertDatabaseTest, HomesWithoutDatabasesOrWithPathsTooLong) {
  settings_.homeDir.Assign("C:\\Missing");
  EXPECT_TRUE(Run());
  EXPECT_TRUE(Lines().empty());

  std::string home = "C:\\" + std::string(200, 'h'), directory = home + "\\" + std::string(60, 'd') + ".DAT";
  std::filesystem::create_directories(machine_.HostPath("C:\\") / home.substr(3) / directory.substr(home.size() + 1));
  settings_.homeDir.Assign(home);
  EXPECT_FALSE(Run());
  EXPECT_EQ(Lines(), Texts{"   Konvertálás : " + std::string(60, 'd') + ".DAT"});
  EXPECT_TRUE(engine_.requests.empty());
  settings_.homeDir.Assign(std::string(256, 'C'));
  EXPECT_FALSE(Run()) << "no search pattern fits";
}

// DBCHANGE.QRT is read only after DBSTAT.QRT, both from the medium.
TEST_F(ConvertDatabaseTest, LoadReadsBothFilesOfTheMedium) {
  ConversionPlan plan;
  WriteMedium("DBCHANGE.QRT", "AppVesion=1.0\r\nTABLE=CIKK.DAT\r\nAPPEND_FIELD=8\r\nEND_TABLE\r\n");
  EXPECT_FALSE(plan.Load(machine_.files(), "1.0"));
  EXPECT_TRUE(plan.tables().empty());
  WriteMedium("DBSTAT.QRT", "START\r\nFile name=CIKK.DAT\r\nRecord length=40\r\nEND\r\n");
  EXPECT_TRUE(plan.Load(machine_.files(), "1.0"));
  EXPECT_EQ(plan.tables()["CIKK.DAT"]->changeCount, 1);
}

}  // namespace
}  // namespace qz::test
