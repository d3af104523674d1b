#include "wbtrv/HostFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "wbtrv/Status.h"

namespace qz::wbtrv {

class HostFile : public EngineFile {
 public:
  HostFile(HostFileOpener& opener, int fd, HostFileOpener::FileId id) : opener_(opener), fd_(fd), id_(id) {}
  ~HostFile() override {
    close(fd_);
    opener_.Release(id_);
  }
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size, std::size_t& got) override {
    got = 0;
    auto* out = static_cast<char*>(buffer);
    while (got < size) {
      ssize_t n = pread(fd_, out + got, size - got, static_cast<off_t>(offset + got));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return false;
      if (n == 0) break;
      got += static_cast<std::size_t>(n);
    }
    return true;
  }

 private:
  HostFileOpener& opener_;
  int fd_;
  HostFileOpener::FileId id_;
};

namespace {

std::uint16_t StatusFromErrno(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return kStatusFileNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
      return kStatusAccessDenied;
    case ENAMETOOLONG:
    case ELOOP:
      return kStatusInvalidFileName;
    default:
      return kStatusIoError;
  }
}

}  // namespace

std::uint16_t HostFileOpener::Open(const char* path, bool exclusive, std::unique_ptr<EngineFile>& file) {
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return StatusFromErrno(errno);
  struct stat st;
  if (fstat(fd, &st) != 0) {
    std::uint16_t status = StatusFromErrno(errno);
    close(fd);
    return status;
  }
  if (S_ISDIR(st.st_mode)) {
    // As Windows answers for a directory opened as a file.
    close(fd);
    return kStatusAccessDenied;
  }
  FileId id{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
  {
    std::lock_guard<std::mutex> lock(mutex_);
    Use& use = uses_[id];
    if (use.exclusive || (exclusive && use.count > 0)) {
      if (use.count == 0) uses_.erase(id);
      close(fd);
      return kStatusFileInUse;
    }
    ++use.count;
    use.exclusive = exclusive;
  }
  file = std::make_unique<HostFile>(*this, fd, id);
  return kStatusOk;
}

void HostFileOpener::Release(const FileId& id) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = uses_.find(id);
  if (it == uses_.end()) return;
  if (--it->second.count <= 0) uses_.erase(it);
}

}  // namespace qz::wbtrv
