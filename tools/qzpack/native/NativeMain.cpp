// qzpack natively: the medium is checked on a scratch simulated machine (the
// checker's native host) and read and packed through the host's files.

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "text/CodePage.h"
#include "tools/qzpack/native/NativePackHost.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string out, err;
  int status;
  try {
    qz::pack::NativePackHost host;
    status = qz::pack::RunPackProgram(args, host, out, err);
  } catch (const std::exception& e) {
    err += std::string("qzpack: ") + qz::Utf8FromCp1250(e.what()) + "\n";
    status = qz::check::kExitTrouble;
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fflush(stdout);
  std::fwrite(err.data(), 1, err.size(), stderr);
  return status;
}
