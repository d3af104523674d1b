// The native qzpack program on host folders: the medium checked first
// (errors refuse it, --force packs it), what is left out, names the stub
// would refuse, and --verify.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "tests/qzpack/PackFixtures.h"
#include "tests/support/SimFixture.h"
#include "tests/support/TempDir.h"
#include "tools/qzpack/PackCheck.h"
#include "tools/qzpack/native/NativePackHost.h"

namespace qz::test {
namespace {

namespace fs = std::filesystem;

const fs::path kSource = QZ_SOURCE_DIR;

struct Outcome {
  int status;
  std::string out, err;
};

class PackProgram : public ::testing::Test {
 protected:
  PackProgram() {
    fs::create_directories(programs_);
    const Bytes stub = MakeStubImage();
    std::ofstream(programs_ / "qzstub.exe", std::ios::binary)
        .write(reinterpret_cast<const char*>(stub.data()), static_cast<std::streamsize>(stub.size()));
    std::ofstream(programs_ / "QZSetup.exe", std::ios::binary) << "MZ the real setup program";
    fs::copy(kSource / "samples/medium", medium_, fs::copy_options::recursive);
  }

  Outcome Pack(std::vector<std::string> args) {
    pack::NativePackHost host;
    Outcome run;
    run.status = pack::RunPackProgram(args, host, run.out, run.err);
    return run;
  }
  Outcome Pack(const fs::path& medium, std::vector<std::string> more = {}) {
    std::vector<std::string> args{medium.string(), "-o", output_.string(), "--programs", programs_.string()};
    args.insert(args.end(), more.begin(), more.end());
    return Pack(args);
  }
  // What the stub would extract from the packed file.
  std::map<std::string, std::string> Extracted() {
    const std::string bytes = HostText(output_);
    FakeStubSystem system(Bytes(bytes.begin(), bytes.end()));
    EXPECT_EQ(pack::RunStub(system, {.silent = true}), 0);
    return system.folder;
  }

  TempDir temp_;
  fs::path programs_ = temp_.path() / "bin";
  fs::path medium_ = temp_.path() / "medium";
  fs::path output_ = temp_.path() / "QZRaktar.exe";
};

TEST_F(PackProgram, PacksTheSetupProgramAndTheMediumAsTheyAre) {
  Outcome run = Pack(medium_);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(Pack({"--verify", output_.string()}).status, 0);
  std::map<std::string, std::string> files = Extracted();
  EXPECT_EQ(files["QZSetup.exe"], "MZ the real setup program");
  std::size_t onMedium = 0;
  for (const auto& entry : fs::recursive_directory_iterator(medium_)) {
    std::string name = fs::relative(entry.path(), medium_).string();
    std::replace(name.begin(), name.end(), '/', '\\');
    EXPECT_EQ(files[name], entry.is_directory() ? "<dir>" : HostText(entry.path())) << name;
    ++onMedium;
  }
  EXPECT_EQ(files.size(), onMedium + 1);
}

TEST_F(PackProgram, AMediumWithErrorsIsRefusedUnlessForced) {
  const fs::path broken = kSource / "tests/qzcheck/broken-medium";
  Outcome refused = Pack(broken);
  EXPECT_EQ(refused.status, pack::kPackExitMediumErrors);
  EXPECT_NE(refused.err.find("error: the install type \"Instal\""), std::string::npos) << refused.err;
  EXPECT_FALSE(fs::exists(output_));

  Outcome forced = Pack(broken, {"--force"});
  EXPECT_EQ(forced.status, 0) << forced.err;
  EXPECT_NE(forced.err.find("(--force)"), std::string::npos);
  EXPECT_EQ(Pack({"--verify", output_.string()}).status, 0);
}

TEST_F(PackProgram, TheMediumsSetupProgramAndEngineAreLeftOut) {
  std::ofstream(medium_ / "qzsetup.EXE") << "an old setup program";
  std::ofstream(medium_ / "WBTRV32.DLL") << "an engine";
  Outcome run = Pack(medium_);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("left out WBTRV32.DLL: the Btrieve engine belongs to the machine"), std::string::npos);
  std::map<std::string, std::string> files = Extracted();
  EXPECT_EQ(files.count("WBTRV32.DLL"), 0u);
  EXPECT_EQ(files.count("qzsetup.EXE"), 0u);
  EXPECT_EQ(files["QZSetup.exe"], "MZ the real setup program");
}

TEST_F(PackProgram, ANameTheStubWouldRefuseOrALinkIsNotPacked) {
  for (const char* name : {"aux.txt", "NYOMTAT/COM1", "trailing dot."}) {
    fs::path bad = medium_ / name;
    std::ofstream(bad) << "x";
    Outcome run = Pack(medium_);
    EXPECT_EQ(run.status, check::kExitTrouble) << name;
    EXPECT_NE(run.err.find("the setup stub would refuse"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(output_));
    fs::remove(bad);
  }
  fs::create_symlink("/etc", medium_ / "link");
  Outcome run = Pack(medium_);
  EXPECT_EQ(run.status, check::kExitTrouble);
  EXPECT_NE(run.err.find("no plain file or folder"), std::string::npos) << run.err;
}

TEST_F(PackProgram, VerifyTellsADamagedFileAndBadUsageIsRefused) {
  ASSERT_EQ(Pack(medium_).status, 0);
  std::string bytes = HostText(output_);
  bytes[bytes.size() - 100] ^= 1;
  std::ofstream(output_, std::ios::binary) << bytes;
  Outcome damaged = Pack({"--verify", output_.string()});
  EXPECT_EQ(damaged.status, pack::kPackExitDamaged);
  EXPECT_NE(damaged.err.find("SHA-256 is not the recorded one"), std::string::npos) << damaged.err;

  EXPECT_EQ(Pack({medium_.string(), "--programs", programs_.string()}).status, check::kExitUsage);
  EXPECT_EQ(Pack({medium_.string(), "-o", output_.string()}).status, check::kExitUsage);
  EXPECT_EQ(Pack({"--verify", output_.string(), medium_.string()}).status, check::kExitUsage);
}

}  // namespace
}  // namespace qz::test
