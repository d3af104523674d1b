// The conversion step over a home directory on the simulated machine, with
// the stand-in engine the machine runs.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "btrieve/ConversionPlan.h"
#include "btrieve/ConvertDatabase.h"
#include "btrieve/DbStat.h"
#include "btrieve/MemoryInput.h"
#include "platform/sim/SimList.h"
#include "platform/sim/SimMachine.h"
#include "platform/sim/btrieve/SimBtrieve.h"
#include "tests/support/TempDir.h"
#include "tools/btrmake/BtrMake.h"

namespace qz::test {
namespace {

// A database file as btrmake makes it.
std::vector<std::uint8_t> DatabaseFile() {
  platform::LineReader reader(std::make_unique<MemoryInput>(
      "START\nFile name=T\nRecord length=40\nPage size=512\nNr. of segments=1\nIdx=0,1,8,3,0,0,0,0\nEND\n"));
  TableMap tables;
  ReadTablesFrom(reader, tables);
  std::vector<std::uint8_t> bytes;
  std::string problem;
  if (!btrmake::MakeVersion5File(*tables["T"], bytes, problem)) throw std::runtime_error(problem);
  return bytes;
}

// The machine's engine, with a record of the requests and a way to make
// the Stat request of one file fail.
class WatchedEngine : public platform::BtrieveEngine {
 public:
  explicit WatchedEngine(platform::BtrieveEngine& engine) : engine_(engine) {}
  std::uint16_t Call(std::uint16_t operation, void* block, void* data, std::uint32_t* length, void* key,
                     std::uint8_t keyLength, std::int8_t keyNumber) override {
    std::string request = std::to_string(operation);
    if (operation == 0) {
      request += " " + std::string(static_cast<const char*>(key));
      lastOpened_ = static_cast<const char*>(key);
    }
    std::uint16_t status = engine_.Call(operation, block, data, length, key, keyLength, keyNumber);
    if (operation == 15 && lastOpened_ == failStatOf) status = 30;
    requests.push_back(request + " -> " + std::to_string(status));
    return status;
  }
  std::vector<std::string> requests;
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

class ConvertDatabaseTest : public ::testing::Test {
 protected:
  ConvertDatabaseTest() : machine_(temp_.path() / "machine", temp_.path() / "medium") {
    std::filesystem::create_directories(temp_.path() / "medium");
    NameText message;
    if (!log_.Open("C:\\windows\\Vormex", message)) throw std::runtime_error(message.c_str());
    settings_.homeDir.Assign("C:\\App");
    settings_.oldVersion.Assign("1.0");
    settings_.appVersion.Assign("2.0");
    Files().MakeDirectory("C:\\App");
  }

  platform::FileSystem& Files() { return machine_.files(); }
  void Directory(const std::string& path) { ASSERT_EQ(Files().MakeDirectory(path.c_str()), platform::kOk) << path; }
  void File(const std::string& path, const std::vector<std::uint8_t>& bytes = DatabaseFile()) {
    std::ofstream out(machine_.HostPath(path.c_str()), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  void MediumFile(const std::string& name, const std::string& text) {
    std::ofstream(temp_.path() / "medium" / name, std::ios::binary) << text;
  }

  bool Run() { return ConvertDatabase(ctx_); }

  // The log written by the step, its text-mode line ends read back.
  std::string Log() {
    log_.Close();
    std::ifstream in(machine_.HostPath("C:\\windows\\Vormex\\qzlog.txt"), std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()), plain;
    for (char c : text) if (c != '\r') plain += c;
    return plain.substr(0, plain.size() - 3);  // without the closing gap
  }

  const std::vector<std::string>& Lines() { return list_.items(); }

  TempDir temp_;
  platform::sim::SimMachine machine_;
  platform::sim::SimBtrieve simEngine_{machine_};
  WatchedEngine engine_{simEngine_};
  SetupSettings settings_;
  SetupScript script_{machine_.files()};
  LogFile log_{machine_.files()};
  Registry registry_{machine_.registry()};
  platform::sim::SimList list_;
  ProgressList progress_{list_};
  NoMessages messages_;
  MessageText messageText_;
  StepContext ctx_{machine_.platform(), engine_, settings_, script_, log_, registry_, progress_, messages_, messageText_};
};

using Texts = std::vector<std::string>;

TEST_F(ConvertDatabaseTest, PassOverThreeDatabaseDirectories) {
  for (const char* dir : {"C:\\App\\C.DAT", "C:\\App\\A.DAT", "C:\\App\\B.DAT", "C:\\App\\x.dat", "C:\\App\\DATA",
                          "C:\\App\\.DAT", "C:\\App\\DAT"}) {
    Directory(dir);
  }
  File("C:\\App\\A.DAT\\ONE.DAT");
  File("C:\\App\\A.DAT\\two.dat");
  File("C:\\App\\A.DAT\\readme.txt", {'x'});
  File("C:\\App\\C.DAT\\THREE.DAT");
  File("C:\\App\\Z.DAT");              // a file, not a directory
  File("C:\\App\\x.dat\\LOWER.DAT");   // in a directory that is not a database directory
  File("C:\\App\\DATA\\OTHER.DAT");

  EXPECT_TRUE(Run());
  EXPECT_EQ(Lines(), (Texts{"   Konvertálás : .DAT", "   Konvertálás : A.DAT", "      C:\\App\\A.DAT\\ONE.DAT",
                            "      C:\\App\\A.DAT\\two.dat", "   Konvertálás : B.DAT", "   Konvertálás : C.DAT",
                            "      C:\\App\\C.DAT\\THREE.DAT"}));
  EXPECT_EQ(Log(),
            "\n\n---> Convert database\n"
            "\n\n   +++++ Database directory : C:\\App\\.DAT +++++\n"
            "\n\n   +++++ Database directory : C:\\App\\A.DAT +++++\n"
            "\n\n   +++++ Database directory : C:\\App\\B.DAT +++++\n"
            "\n\n   +++++ Database directory : C:\\App\\C.DAT +++++\n");
  EXPECT_EQ(engine_.requests, (Texts{"0 C:\\App\\A.DAT\\ONE.DAT -> 0", "15 -> 0", "1 -> 0",
                                     "0 C:\\App\\A.DAT\\two.dat -> 0", "15 -> 0", "1 -> 0",
                                     "0 C:\\App\\C.DAT\\THREE.DAT -> 0", "15 -> 0", "1 -> 0"}));
  EXPECT_EQ(simEngine_.OpenFiles(), 0u);
}

TEST_F(ConvertDatabaseTest, StopsAtTheFirstFileThatCannotBeOpened) {
  Directory("C:\\App\\A.DAT");
  File("C:\\App\\A.DAT\\1.DAT");
  File("C:\\App\\A.DAT\\2.DAT", std::vector<std::uint8_t>(1024, 'x'));
  File("C:\\App\\A.DAT\\3.DAT");
  Directory("C:\\App\\B.DAT");
  File("C:\\App\\B.DAT\\4.DAT");

  EXPECT_FALSE(Run());
  EXPECT_EQ(Lines(), (Texts{"   Konvertálás : A.DAT", "      C:\\App\\A.DAT\\1.DAT", "      C:\\App\\A.DAT\\2.DAT"}));
  EXPECT_EQ(engine_.requests,
            (Texts{"0 C:\\App\\A.DAT\\1.DAT -> 0", "15 -> 0", "1 -> 0", "0 C:\\App\\A.DAT\\2.DAT -> 30"}));
  EXPECT_EQ(Log(), "\n\n---> Convert database\n\n\n   +++++ Database directory : C:\\App\\A.DAT +++++\n")
      << "no line for the file";
}

TEST_F(ConvertDatabaseTest, AFileWhoseStatFailedIsClosedAgain) {
  Directory("C:\\App\\A.DAT");
  File("C:\\App\\A.DAT\\1.DAT");
  engine_.failStatOf = "C:\\App\\A.DAT\\1.DAT";
  EXPECT_FALSE(Run());
  EXPECT_EQ(engine_.requests, (Texts{"0 C:\\App\\A.DAT\\1.DAT -> 0", "15 -> 30", "1 -> 0"}));
  EXPECT_EQ(simEngine_.OpenFiles(), 0u);
  EXPECT_EQ(Files().RemoveFile("C:\\App\\A.DAT\\1.DAT"), platform::kOk) << "no longer held open by the engine";
}

TEST_F(ConvertDatabaseTest, WhatTheEngineCannotOpenFailsTheStep) {
  Directory("C:\\App\\A.DAT");
  File("C:\\App\\A.DAT\\BUSY.DAT");
  machine_.files().SetInUse("C:\\App\\A.DAT\\BUSY.DAT", true);
  EXPECT_FALSE(Run());
  EXPECT_EQ(engine_.requests.back(), "0 C:\\App\\A.DAT\\BUSY.DAT -> 85");

  machine_.files().SetInUse("C:\\App\\A.DAT\\BUSY.DAT", false);
  Directory("C:\\App\\A.DAT\\AAA.DAT");  // a directory matches "*.DAT" as well
  engine_.requests.clear();
  EXPECT_FALSE(Run());
  EXPECT_EQ(engine_.requests, Texts{"0 C:\\App\\A.DAT\\AAA.DAT -> 46"});
}

TEST_F(ConvertDatabaseTest, HomeWithoutDatabases) {
  Directory("C:\\App\\A.DAT");  // no "*.DAT" in it
  EXPECT_TRUE(Run());
  EXPECT_EQ(Lines(), Texts{"   Konvertálás : A.DAT"});

  settings_.homeDir.Assign("C:\\Missing");
  list_ = platform::sim::SimList();
  EXPECT_TRUE(Run()) << "a home directory that cannot be searched holds no database";
  EXPECT_TRUE(Lines().empty());
  EXPECT_EQ(Log(),
            "\n\n---> Convert database\n\n\n   +++++ Database directory : C:\\App\\A.DAT +++++\n"
            "\n\n---> Convert database\n");
}

// A path that does not fit a path buffer is never used cut short: the
// database behind it cannot be reached and the step fails.
TEST_F(ConvertDatabaseTest, PathsTooLongFailTheStep) {
  std::string home = "C:\\" + std::string(200, 'h');
  std::filesystem::create_directories(machine_.HostPath("C:\\") / std::string(200, 'h') / (std::string(60, 'd') + ".DAT"));
  settings_.homeDir.Assign(home);
  EXPECT_FALSE(Run());
  std::string directory = home + "\\" + std::string(60, 'd') + ".DAT";
  EXPECT_EQ(Lines(), Texts{"   Konvertálás : " + std::string(60, 'd') + ".DAT"});
  EXPECT_TRUE(engine_.requests.empty());
  EXPECT_EQ(Log(), "\n\n---> Convert database\n\n\n   +++++ Database directory : " + directory + " +++++\n");

  settings_.homeDir.Assign(std::string(256, 'C'));
  EXPECT_FALSE(Run()) << "no search pattern fits";
}

// DBCHANGE.QRT is read only after DBSTAT.QRT, both from the medium.
TEST_F(ConvertDatabaseTest, LoadReadsBothFilesOfTheMedium) {
  ConversionPlan plan;
  EXPECT_FALSE(plan.Load(Files(), "1.0"));
  MediumFile("DBCHANGE.QRT", "AppVesion=1.0\r\nTABLE=CIKK.DAT\r\nAPPEND_FIELD=8\r\nEND_TABLE\r\n");
  EXPECT_FALSE(plan.Load(Files(), "1.0"));
  EXPECT_TRUE(plan.tables().empty());
  MediumFile("DBSTAT.QRT", "START\r\nFile name=CIKK.DAT\r\nRecord length=40\r\nEND\r\n");
  EXPECT_TRUE(plan.Load(Files(), "1.0"));
  EXPECT_EQ(plan.tables()["CIKK.DAT"]->changeCount, 1);
}

// The machine's engine opens Windows paths through the machine.
TEST_F(ConvertDatabaseTest, MachineEngineOpensWindowsPaths) {
  Directory("C:\\App\\A.DAT");
  File("C:\\App\\A.DAT\\CIKK.DAT");
  std::uint8_t block[128] = {};
  std::uint8_t other[128] = {};
  std::uint32_t length = 0;
  auto open = [&](std::uint8_t* b, const char* path, std::int8_t mode) {
    return simEngine_.Call(0, b, nullptr, &length, const_cast<char*>(path), 255, mode);
  };
  auto close = [&](std::uint8_t* b) { return simEngine_.Call(1, b, nullptr, &length, nullptr, 255, 0); };
  EXPECT_EQ(open(block, "c:/app/a.dat/cikk.dat", 0), 0) << "names match without regard to case";
  EXPECT_EQ(open(other, "C:\\App\\A.DAT\\CIKK.DAT", -4), 85);
  EXPECT_EQ(Files().RemoveFile("C:\\App\\A.DAT\\CIKK.DAT"), platform::kErrorSharingViolation);
  EXPECT_EQ(close(block), 0);
  EXPECT_EQ(open(block, "C:\\App\\A.DAT\\CIKK.DAT", -4), 0);
  EXPECT_EQ(open(other, "C:\\App\\A.DAT\\CIKK.DAT", 0), 85);
  EXPECT_EQ(close(block), 0);
  EXPECT_EQ(open(block, "C:\\App\\A.DAT\\NONE.DAT", 0), 12);
  EXPECT_EQ(open(block, "C:\\Nowhere\\NONE.DAT", 0), 12);
  EXPECT_EQ(open(block, "C:\\App\\A.DAT\\a|b.DAT", 0), 11);
  EXPECT_EQ(simEngine_.OpenFiles(), 0u);
}

}  // namespace
}  // namespace qz::test
