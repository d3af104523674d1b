// qzcheck natively: the medium is read through a scratch simulated machine
// whose working directory it is, and the dry run installs it on a
// throw-away machine.

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "text/CodePage.h"
#include "tools/qzcheck/NativeHost.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string out, err;
  int status;
  try {
    qz::check::NativeHost host;
    status = qz::check::RunProgram(args, host, out, err);
  } catch (const std::exception& e) {
    err += std::string("qzcheck: ") + qz::Utf8FromCp1250(e.what()) + "\n";
    status = qz::check::kExitTrouble;
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fflush(stdout);
  std::fwrite(err.data(), 1, err.size(), stderr);
  return status;
}
