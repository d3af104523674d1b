#pragma once
// The installation the benchmarks work on: 100 directories of 100 files of
// 20 KB (195 MB), as a medium installs it and a removal finds it.

#include <sys/resource.h>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace qz::bench {

inline constexpr int kDirectories = 100;
inline constexpr int kFilesPerDirectory = 100;
inline constexpr std::size_t kFileSize = 20 * 1024;

inline std::string TreeDirName(int d) { return "DIR" + std::to_string(d); }
inline std::string TreeFileName(int f) { return "FILE" + std::to_string(f) + ".DAT"; }

// Writes `directories` directories of kFilesPerDirectory files below root.
inline void MakeTree(const std::filesystem::path& root, int directories = kDirectories) {
  std::vector<char> bytes(kFileSize, 'q');
  for (int d = 0; d < directories; ++d) {
    std::filesystem::path dir = root / TreeDirName(d);
    std::filesystem::create_directories(dir);
    for (int f = 0; f < kFilesPerDirectory; ++f) {
      std::ofstream out(dir / TreeFileName(f), std::ios::binary);
      out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
  }
}

inline long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace qz::bench
