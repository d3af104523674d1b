#pragma once
// The stub's machine: real Win32, wide calls throughout.

#include <windows.h>

#include <memory>
#include <string>

#include "tools/qzpack/StubRun.h"
#include "tools/qzpack/stub/ProgressWindow.h"

namespace qz::pack::win32 {

class Win32StubSystem : public StubSystem {
 public:
  // `self`: the stub's own file; `arguments`: its command line after the
  // program's name, passed on to the setup program unchanged.
  Win32StubSystem(std::wstring self, std::wstring arguments);
  ~Win32StubSystem() override;
  Win32StubSystem(const Win32StubSystem&) = delete;
  Win32StubSystem& operator=(const Win32StubSystem&) = delete;

  // Opens the stub's file; 0 or the Win32 error.
  DWORD OpenSelf();

  ByteSource& Self() override { return *self_; }
  std::unique_ptr<Sha256> NewSha256() override;
  std::uint32_t FreeSpace(std::uint64_t& bytes) override;
  std::uint32_t MakeFolder() override;
  std::uint32_t MakeDirectory(const std::string& name) override;
  std::uint32_t CreateNewFile(const std::string& name, std::unique_ptr<FileSink>& file) override;
  std::uint32_t RunSetup(int& status) override;
  void RemoveFolder() override;
  void ShowMessage(StubMessage message, std::uint32_t error) override;
  void ShowProgress(ProgressPhase phase, std::uint64_t done, std::uint64_t total) override;
  void HideProgress() override;

  // The caption of the stub's boxes and window: its file name without the
  // extension, as the maker named the download.
  const std::wstring& caption() const { return caption_; }

 private:
  std::wstring PathOf(const std::string& name) const;

  std::wstring selfPath_, arguments_, caption_, temp_, folder_;
  std::unique_ptr<ByteSource> self_;
  ProgressWindow progress_;
};

}  // namespace qz::pack::win32
