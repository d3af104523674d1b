// btrmake: makes Btrieve files (version 5 layout, no records) from the
// table descriptions of a DBSTAT.QRT.
//
//   btrmake DBSTAT.QRT TABLE OUTPUT     the file of one table
//   btrmake --all DBSTAT.QRT DIRECTORY  every table's file, named as its table
//
// Exit status: 0 made, 1 refused or failed, 64 bad usage.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "btrieve/DbStat.h"
#include "btrieve/MemoryInput.h"
#include "text/CodePage.h"
#include "tools/btrmake/BtrMake.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: btrmake DBSTAT.QRT TABLE OUTPUT\n"
               "       btrmake --all DBSTAT.QRT DIRECTORY\n");
  return 64;
}

bool ReadTablesOf(const char* path, qz::TableMap& tables) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "btrmake: cannot read %s\n", path);
    return false;
  }
  std::stringstream bytes;
  bytes << in.rdbuf();
  qz::platform::LineReader reader(std::make_unique<qz::MemoryInput>(bytes.str()));
  qz::ReadTablesFrom(reader, tables);
  return true;
}

bool Make(const std::string& name, const qz::TableDescription& description, const std::filesystem::path& output) {
  std::vector<std::uint8_t> bytes;
  std::string problem;
  std::string shown = qz::Utf8FromCp1250(name);
  if (!qz::btrmake::MakeVersion5File(description, bytes, problem)) {
    std::fprintf(stderr, "btrmake: %s: %s\n", shown.c_str(), problem.c_str());
    return false;
  }
  std::ofstream out(output, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "btrmake: cannot write %s\n", output.string().c_str());
    return false;
  }
  return true;
}

// A table name becomes a file name in the directory: it may not lead out
// of it.
bool IsPlainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\:") == std::string::npos;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return Usage();
  std::string first = argv[1];
  qz::TableMap tables;
  if (first == "--all") {
    if (!ReadTablesOf(argv[2], tables)) return 1;
    std::filesystem::path directory = argv[3];
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    bool ok = true;
    for (const auto& [name, description] : tables) {
      std::string hostName = qz::Utf8FromCp1250(name);
      if (!IsPlainFileName(hostName)) {
        std::fprintf(stderr, "btrmake: %s: not a file name\n", hostName.c_str());
        ok = false;
        continue;
      }
      ok = Make(name, *description, directory / hostName) && ok;
    }
    return ok ? 0 : 1;
  }
  if (first.rfind("--", 0) == 0) return Usage();
  if (!ReadTablesOf(argv[1], tables)) return 1;
  std::string wanted;
  if (!qz::Cp1250FromUtf8(argv[2], wanted)) wanted = argv[2];
  auto found = tables.find(wanted);
  if (found == tables.end()) {
    std::fprintf(stderr, "btrmake: %s describes no table %s\n", argv[1], argv[2]);
    return 1;
  }
  return Make(found->first, *found->second, argv[3]) ? 0 : 1;
}
