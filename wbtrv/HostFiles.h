#pragma once
// Files of the host system (POSIX), opened by host path: what the native
// BTRCALL opens. Exclusive opens are kept track of here, as the host does
// not refuse a second opener itself.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

#include "wbtrv/EngineFile.h"

namespace qz::wbtrv {

class HostFileOpener : public FileOpener {
 public:
  std::uint16_t Open(const char* path, bool exclusive, std::unique_ptr<EngineFile>& file) override;

 private:
  friend class HostFile;
  using FileId = std::pair<std::uint64_t, std::uint64_t>;  // device, inode
  struct Use {
    int count = 0;
    bool exclusive = false;
  };
  void Release(const FileId& id);

  std::mutex mutex_;
  std::map<FileId, Use> uses_;
};

}  // namespace qz::wbtrv
