#include "tools/qzpack/native/PosixFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>

#include "text/CodePage.h"

namespace qz::pack {
namespace {

// Seconds from 1601 to 1970, in which FILETIME and Unix time differ.
constexpr std::uint64_t kUnixEpochTicks = 116444736000000000ull;

std::uint64_t FileTimeOf(const struct stat& info) {
  return kUnixEpochTicks + static_cast<std::uint64_t>(info.st_mtim.tv_sec) * 10000000ull +
         static_cast<std::uint64_t>(info.st_mtim.tv_nsec) / 100;
}

bool ReadAll(int fd, std::uint64_t offset, void* buffer, std::size_t size) {
  auto* bytes = static_cast<char*>(buffer);
  while (size > 0) {
    const ssize_t got = pread(fd, bytes, size, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    bytes += got;
    offset += static_cast<std::uint64_t>(got);
    size -= static_cast<std::size_t>(got);
  }
  return true;
}

class HostFile : public ByteSource {
 public:
  HostFile(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
  ~HostFile() override { close(fd_); }
  HostFile(const HostFile&) = delete;
  HostFile& operator=(const HostFile&) = delete;

  std::uint64_t Size() override { return size_; }
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
    return ReadAll(fd_, offset, buffer, size);
  }

 private:
  int fd_;
  std::uint64_t size_;
};

std::unique_ptr<ByteSource> Open(const std::string& path, std::uint64_t* lastWrite) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return nullptr;
  }
  if (lastWrite) *lastWrite = FileTimeOf(info);
  return std::make_unique<HostFile>(fd, static_cast<std::uint64_t>(info.st_size));
}

class HostSource : public PackSource {
 public:
  HostSource(std::string medium, std::string programs) : medium_(std::move(medium)), programs_(std::move(programs)) {}

  bool ListMedium(std::vector<MediumEntry>& entries, std::string& problem) override {
    return List("", "", entries, problem);
  }
  std::unique_ptr<ByteSource> OpenMediumFile(const std::string& name) override {
    auto path = hostPaths_.find(name);
    return path == hostPaths_.end() ? nullptr : Open(path->second, nullptr);
  }
  std::unique_ptr<ByteSource> OpenProgram(const std::string& name, std::uint64_t& lastWrite) override {
    return Open(programs_ + "/" + name, &lastWrite);
  }

 private:
  // The folder `relative` (host form) of the medium, named `name` as the
  // payload names it.
  bool List(const std::string& relative, const std::string& name, std::vector<MediumEntry>& entries,
            std::string& problem) {
    const std::string folder = medium_ + (relative.empty() ? "" : "/" + relative);
    DIR* dir = opendir(folder.c_str());
    if (!dir) {
      problem = "cannot read the folder " + Cp1250Or(folder) + ": " + std::strerror(errno);
      return false;
    }
    std::vector<std::string> children;
    while (const dirent* child = readdir(dir)) {
      if (std::strcmp(child->d_name, ".") != 0 && std::strcmp(child->d_name, "..") != 0) {
        children.push_back(child->d_name);
      }
    }
    closedir(dir);
    for (const std::string& child : children) {
      const std::string hostRelative = relative.empty() ? child : relative + "/" + child;
      std::string childName;
      if (!Cp1250FromUtf8(child, childName) || child.find('\\') != std::string::npos) {
        problem = "the medium holds \"" + Cp1250Or(hostRelative) + "\", a name Windows-1250 cannot write";
        return false;
      }
      childName = name.empty() ? childName : name + "\\" + childName;
      struct stat info;
      if (lstat((medium_ + "/" + hostRelative).c_str(), &info) != 0) {
        problem = "cannot read " + childName;
        return false;
      }
      if (!S_ISDIR(info.st_mode) && !S_ISREG(info.st_mode)) {
        problem = "the medium holds " + childName + ", which is no plain file or folder (a link?)";
        return false;
      }
      entries.push_back(MediumEntry{childName, S_ISDIR(info.st_mode), S_ISDIR(info.st_mode) ? 0 : FileTimeOf(info)});
      hostPaths_[childName] = medium_ + "/" + hostRelative;
      if (S_ISDIR(info.st_mode) && !List(hostRelative, childName, entries, problem)) return false;
    }
    return true;
  }

  // A host path as the packer's messages carry them (Windows-1250).
  static std::string Cp1250Or(const std::string& utf8) {
    std::string text;
    return Cp1250FromUtf8(utf8, text) ? text : "?";
  }

  std::string medium_, programs_;
  std::map<std::string, std::string> hostPaths_;
};

class HostOutput : public OutputFile {
 public:
  HostOutput(int fd, std::string temporary, std::string path)
      : fd_(fd), temporary_(std::move(temporary)), path_(std::move(path)) {}
  ~HostOutput() override {
    if (fd_ >= 0) close(fd_);
    if (!committed_) unlink(temporary_.c_str());
  }
  HostOutput(const HostOutput&) = delete;
  HostOutput& operator=(const HostOutput&) = delete;

  bool WriteAt(std::uint64_t offset, const void* data, std::size_t size) override {
    auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
      const ssize_t put = pwrite(fd_, bytes, size, static_cast<off_t>(offset));
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) return false;
      bytes += put;
      offset += static_cast<std::uint64_t>(put);
      size -= static_cast<std::size_t>(put);
    }
    return true;
  }
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
    return ReadAll(fd_, offset, buffer, size);
  }
  bool SetSize(std::uint64_t size) override { return ftruncate(fd_, static_cast<off_t>(size)) == 0; }
  bool Commit() override {
    // Readable by all, as a file made by the user's umask would be.
    const mode_t mask = umask(0);
    umask(mask);
    const bool done = fchmod(fd_, 0666 & ~mask) == 0 && fsync(fd_) == 0 && close(fd_) == 0;
    fd_ = -1;
    committed_ = done && std::rename(temporary_.c_str(), path_.c_str()) == 0;
    return committed_;
  }

 private:
  int fd_;
  std::string temporary_, path_;
  bool committed_ = false;
};

}  // namespace

std::unique_ptr<ByteSource> OpenHostFile(const std::string& path) { return Open(path, nullptr); }

std::unique_ptr<PackSource> OpenHostSource(const std::string& medium, const std::string& programs) {
  return std::make_unique<HostSource>(medium, programs);
}

std::unique_ptr<OutputFile> CreateHostOutput(const std::string& path, std::string& problem) {
  std::string temporary = path + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) {
    problem = "cannot write beside " + path + ": " + std::strerror(errno);
    return nullptr;
  }
  return std::make_unique<HostOutput>(fd, temporary, path);
}

}  // namespace qz::pack
