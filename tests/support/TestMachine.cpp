#include "tests/support/TestMachine.h"

#include <atomic>
#include <fstream>
#include <stdexcept>


#ifdef _WIN32
#include <windows.h>

#include "platform/win32/Win32Platform.h"
#else
#include <unistd.h>

#include <filesystem>

#include "platform/sim/SimMachine.h"
#include "tests/support/TempDir.h"
#endif

namespace qz::test {
namespace {

std::string UniqueSuffix() {
  static std::atomic<int> counter{0};
#ifdef _WIN32
  unsigned long pid = GetCurrentProcessId();
#else
  unsigned long pid = static_cast<unsigned long>(getpid());
#endif
  return std::to_string(pid) + "_" + std::to_string(++counter);
}

// Removes a directory tree through the platform (test cleanup only).
void RemoveTreeQuietly(platform::FileSystem& files, const std::string& dir) {
  platform::ErrorCode error;
  auto search = files.FindFiles((dir + "\\*.*").c_str(), error);
  if (search) {
    platform::FindEntry entry;
    while (search->Next(entry)) {
      if (entry.IsDots()) continue;
      std::string path = dir + "\\" + entry.name.c_str();
      if (entry.IsDirectory()) {
        RemoveTreeQuietly(files, path);
      } else {
        files.SetAttributes(path.c_str(), platform::kAttributeNormal);
        files.RemoveFile(path.c_str());
      }
    }
  }
  search.reset();
  files.RemoveDir(dir.c_str());
}

void DeleteKeyTree(platform::RegistryStore& store, const std::string& subkey) {
  platform::KeyHandle key;
  if (store.OpenKey(platform::RootKey::CurrentUser, subkey.c_str(), platform::KeyAccess::All, key) != platform::kOk) {
    return;
  }
  for (;;) {
    NameText name;
    if (store.EnumKey(key, 0, name) != platform::kOk) break;
    DeleteKeyTree(store, subkey + "\\" + name.c_str());
  }
  store.CloseKey(key);
  store.DeleteKey(platform::RootKey::CurrentUser, subkey.c_str());
}

#ifdef _WIN32
class Win32TestMachine : public TestMachine {
 public:
  Win32TestMachine() { CreateScratch(); }
  ~Win32TestMachine() override { RemoveScratch(); }
  platform::Platform& platform() override { return machine_.platform(); }
  bool IsWin32() const override { return true; }
  void WriteFile(const std::string& path, const std::string& bytes) override {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write " + path);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
  }

 private:
  platform::win32::Win32Machine machine_;
};
#else
class SimTestMachine : public TestMachine {
 public:
  SimTestMachine() : machine_(temp_.path() / "machine", temp_.path()) { CreateScratch(); }
  platform::Platform& platform() override { return machine_.platform(); }
  bool IsWin32() const override { return false; }
  void WriteFile(const std::string& path, const std::string& bytes) override {
    std::filesystem::path host = machine_.HostPath(path.c_str());
    std::error_code ignored;
    std::filesystem::permissions(host, std::filesystem::perms::owner_write, std::filesystem::perm_options::add,
                                 ignored);
    std::ofstream out(host, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
  }

 private:
  TempDir temp_;
  platform::sim::SimMachine machine_;
};
#endif

}  // namespace

std::unique_ptr<TestMachine> TestMachine::Create() {
#ifdef _WIN32
  return std::make_unique<Win32TestMachine>();
#else
  return std::make_unique<SimTestMachine>();
#endif
}

void TestMachine::CreateScratch() {
  std::string suffix = UniqueSuffix();
  platform().files.MakeDirectory("C:\\qztest");
  scratchDir_ = "C:\\qztest\\t" + suffix;
  if (platform().files.MakeDirectory(scratchDir_.c_str()) != platform::kOk) {
    throw std::runtime_error("cannot create the scratch directory " + scratchDir_);
  }
  scratchKey_ = "Software\\QZConformance\\t" + suffix;
}

void TestMachine::RemoveScratch() {
  RemoveTreeQuietly(platform().files, scratchDir_);
  DeleteKeyTree(platform().registry, scratchKey_);
}

std::string TestMachine::ReadFile(const std::string& path) {
  platform::ErrorCode error;
  auto in = platform().files.OpenForReading(path.c_str(), platform::kShareReadWrite, error);
  if (!in) return "<missing>";
  std::string bytes;
  char buffer[4096];
  std::size_t got = 0;
  while (in->Read(buffer, sizeof buffer, got) && got > 0) bytes.append(buffer, got);
  return bytes;
}

}  // namespace qz::test
