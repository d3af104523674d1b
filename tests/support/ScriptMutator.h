#pragma once
// Mutated setup scripts, the same for the same seed on every build: lines
// dropped, doubled and swapped, quotes lost, bytes flipped, and names
// replaced by what a careless or hostile medium could hold (paths that
// climb out of their root, drives, devices, dots, overlong texts, macros).

#include <cstdint>
#include <string>
#include <vector>

namespace qz::test {

class ScriptMutator {
 public:
  // `script` is a setup script's bytes (Windows-1250, CR LF lines).
  ScriptMutator(std::string script, std::uint32_t seed);

  // The next mutated script: one or two mutations of the original.
  std::string Next();

  // The names the mutations put in place of a quoted name.
  static const std::vector<std::string>& HostileNames();

 private:
  std::uint32_t Random(std::uint32_t below);
  void Mutate(std::vector<std::string>& lines);
  std::string HostileName();

  std::vector<std::string> lines_;
  std::uint64_t state_;
};

}  // namespace qz::test
