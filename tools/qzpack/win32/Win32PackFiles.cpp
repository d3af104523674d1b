#include "tools/qzpack/win32/Win32PackFiles.h"

#include <cwchar>
#include <map>
#include <vector>

#include "tools/qzpack/win32/BcryptSha256.h"
#include "tools/qzpack/win32/Win32Files.h"

namespace qz::pack::win32 {
namespace {

class Win32Source : public PackSource {
 public:
  Win32Source(std::wstring medium, std::wstring programs) : medium_(std::move(medium)), programs_(std::move(programs)) {}

  bool ListMedium(std::vector<MediumEntry>& entries, std::string& problem) override {
    return List(L"", "", entries, problem);
  }
  std::unique_ptr<ByteSource> OpenMediumFile(const std::string& name) override {
    auto path = paths_.find(name);
    return path == paths_.end() ? nullptr : OpenForReading(path->second);
  }
  std::unique_ptr<ByteSource> OpenProgram(const std::string& name, std::uint64_t& lastWrite) override {
    const std::wstring path = programs_ + L"\\" + WideFromCp1250(name);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return nullptr;
    lastWrite = Ticks(data.ftLastWriteTime);
    return OpenForReading(path);
  }

 private:
  bool List(const std::wstring& relative, const std::string& name, std::vector<MediumEntry>& entries,
            std::string& problem) {
    const std::wstring folder = relative.empty() ? medium_ : medium_ + L"\\" + relative;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
      problem = "cannot read the folder " + (name.empty() ? std::string(".") : name);
      return false;
    }
    std::vector<WIN32_FIND_DATAW> children;
    do {
      if (wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0) children.push_back(found);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    for (const WIN32_FIND_DATAW& child : children) {
      std::string childName;
      if (!Cp1250FromWide(child.cFileName, childName)) {
        problem = "the medium holds \"" + Utf8FromWide(child.cFileName) + "\", a name Windows-1250 cannot write";
        return false;
      }
      childName = name.empty() ? childName : name + "\\" + childName;
      const std::wstring childRelative = relative.empty() ? child.cFileName : relative + L"\\" + child.cFileName;
      const bool directory = (child.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      if ((child.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        problem = "the medium holds " + childName + ", which is a link or junction";
        return false;
      }
      entries.push_back(MediumEntry{childName, directory, directory ? 0 : Ticks(child.ftLastWriteTime)});
      paths_[childName] = medium_ + L"\\" + childRelative;
      if (directory && !List(childRelative, childName, entries, problem)) return false;
    }
    return true;
  }

  std::wstring medium_, programs_;
  std::map<std::string, std::wstring> paths_;
};

class Win32Output : public OutputFile {
 public:
  Win32Output(HANDLE file, std::wstring temporary, std::wstring path)
      : file_(file), temporary_(std::move(temporary)), path_(std::move(path)) {}
  ~Win32Output() override {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    if (!committed_) DeleteFileW(temporary_.c_str());
  }
  Win32Output(const Win32Output&) = delete;
  Win32Output& operator=(const Win32Output&) = delete;

  bool WriteAt(std::uint64_t offset, const void* data, std::size_t size) override {
    return TransferAt(file_, offset, const_cast<void*>(data), size, true);
  }
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
    return TransferAt(file_, offset, buffer, size, false);
  }
  bool SetSize(std::uint64_t size) override {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(size);
    return SetFilePointerEx(file_, at, nullptr, FILE_BEGIN) && SetEndOfFile(file_);
  }
  bool Commit() override {
    const bool closed = FlushFileBuffers(file_) && CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    committed_ = closed && MoveFileExW(temporary_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING);
    return committed_;
  }

 private:
  HANDLE file_;
  std::wstring temporary_, path_;
  bool committed_ = false;
};

}  // namespace

std::unique_ptr<PackSource> OpenWin32Source(const std::wstring& medium, const std::wstring& programs) {
  return std::make_unique<Win32Source>(medium, programs);
}

std::unique_ptr<OutputFile> CreateWin32Output(const std::wstring& path, std::string& problem) {
  unsigned char random[8];
  if (!SystemRandom(random, sizeof random)) {
    problem = "no random name for the file being written";
    return nullptr;
  }
  wchar_t suffix[24];
  swprintf(suffix, 24, L".%02x%02x%02x%02x%02x%02x", random[0], random[1], random[2], random[3], random[4],
           random[5]);
  const std::wstring temporary = path + suffix;
  HANDLE file = CreateFileW(temporary.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    problem = "cannot write beside " + Utf8FromWide(path);
    return nullptr;
  }
  return std::make_unique<Win32Output>(file, temporary, path);
}

}  // namespace qz::pack::win32
