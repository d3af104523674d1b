#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlguid.h>
#include <shobjidl.h>

#include "platform/win32/Win32Platform.h"
#include "platform/win32/WideText.h"

namespace qz::platform::win32 {
namespace {

// The link path IPersistFile::Save receives, terminator included.
constexpr std::size_t kMaxWidePath = 260;

// IShellLinkW of a created shell-link object, and its IPersistFile once
// asked for; both are released with the object. Every text is converted
// from Windows-1250, whatever the system's ANSI code page.
class Win32ShellLink : public ShellLink {
 public:
  explicit Win32ShellLink(IShellLinkW* link) : link_(link) {}
  ~Win32ShellLink() override {
    if (persist_) persist_->Release();
    link_->Release();
  }
  Win32ShellLink(const Win32ShellLink&) = delete;
  Win32ShellLink& operator=(const Win32ShellLink&) = delete;

  HResult QueryPersist() {
    if (persist_) return S_OK;
    void* persist = nullptr;
    HRESULT result = link_->QueryInterface(IID_IPersistFile, &persist);
    if (SUCCEEDED(result)) persist_ = static_cast<IPersistFile*>(persist);
    return static_cast<HResult>(result);
  }

  HResult SetPath(const char* path) override { return static_cast<HResult>(link_->SetPath(Wide(path).c_str())); }
  HResult SetArguments(const char* arguments) override {
    return static_cast<HResult>(link_->SetArguments(Wide(arguments).c_str()));
  }
  HResult SetWorkingDirectory(const char* directory) override {
    return static_cast<HResult>(link_->SetWorkingDirectory(Wide(directory).c_str()));
  }
  HResult SetDescription(const char* description) override {
    return static_cast<HResult>(link_->SetDescription(Wide(description).c_str()));
  }

  HResult Save(const char* linkPath) override {
    if (!persist_) return static_cast<HResult>(E_POINTER);
    std::wstring wide = Wide(linkPath);
    // A path that does not fit is refused, as a conversion into the fixed
    // buffer the call was once given refused it.
    if (wide.size() >= kMaxWidePath) return static_cast<HResult>(HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER));
    return static_cast<HResult>(persist_->Save(wide.c_str(), TRUE));
  }

 private:
  IShellLinkW* link_;
  IPersistFile* persist_ = nullptr;
};

}  // namespace

HResult Win32Shell::Initialize() { return static_cast<HResult>(CoInitialize(nullptr)); }

void Win32Shell::Uninitialize() { CoUninitialize(); }

std::unique_ptr<ShellLink> Win32Shell::CreateLink(HResult& result) {
  void* link = nullptr;
  HRESULT created = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, &link);
  result = static_cast<HResult>(created);
  if (FAILED(created) || !link) return nullptr;
  return std::make_unique<Win32ShellLink>(static_cast<IShellLinkW*>(link));
}

HResult Win32Shell::QueryPersistFile(ShellLink& link) {
  auto* own = dynamic_cast<Win32ShellLink*>(&link);
  return own ? own->QueryPersist() : static_cast<HResult>(E_NOINTERFACE);
}

}  // namespace qz::platform::win32
