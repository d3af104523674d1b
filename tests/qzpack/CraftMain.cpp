// qzpack_craft: a packed file whose names qzpack would refuse, for the
// tests of the stub: the stub, the setup program and one small file for
// each name given, written as given.
//
//   qzpack_craft STUB SETUP OUT NAME...

#include <cstdio>
#include <string>
#include <vector>

#include "text/CodePage.h"
#include "tools/qzpack/Packer.h"
#include "tools/qzpack/native/OpenSslSha256.h"
#include "tools/qzpack/native/PosixFiles.h"

namespace {

class Text : public qz::pack::InputStream {
 public:
  bool Read(void* buffer, std::size_t size, std::size_t& got) override {
    got = done_ || size < 5 ? 0 : 5;
    if (got) std::copy_n("evil\n", 5, static_cast<char*>(buffer));
    done_ = true;
    return true;
  }

 private:
  bool done_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: qzpack_craft STUB SETUP OUT NAME...\n");
    return 64;
  }
  std::shared_ptr<qz::pack::ByteSource> stub = qz::pack::OpenHostFile(argv[1]);
  std::shared_ptr<qz::pack::ByteSource> setup = qz::pack::OpenHostFile(argv[2]);
  std::string problem;
  std::unique_ptr<qz::pack::OutputFile> out = qz::pack::CreateHostOutput(argv[3], problem);
  if (!stub || !setup || !out) {
    std::fprintf(stderr, "qzpack_craft: cannot open the files %s\n", problem.c_str());
    return 70;
  }
  std::vector<qz::pack::PackItem> items(1);
  items[0].name = qz::pack::kSetupProgram;
  items[0].open = [setup]() { return qz::pack::ReadFromStart(setup); };
  for (int i = 4; i < argc; ++i) {
    qz::pack::PackItem item;
    if (!qz::Cp1250FromUtf8(argv[i], item.name)) return 64;
    item.open = [] { return std::make_unique<Text>(); };
    items.push_back(std::move(item));
  }
  qz::pack::PackSummary summary;
  auto sha256 = qz::pack::NewOpenSslSha256();
  if (!qz::pack::WritePackedFile(*stub, items, *out, *sha256, summary, problem) || !out->Commit()) {
    std::fprintf(stderr, "qzpack_craft: %s\n", problem.c_str());
    return 70;
  }
  return 0;
}
