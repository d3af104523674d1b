#pragma once
// Shell links (the shell-link component: IShellLinkW with IPersistFile).
// Texts are Windows-1250, converted to UTF-16 for the component.
// Every call returns its HRESULT: 0 or more is success, negative a failure.

#include <cstdint>
#include <memory>

namespace qz::platform {

using HResult = std::int32_t;

inline bool Succeeded(HResult result) { return result >= 0; }

// A shell-link object with its persist-file interface.
class ShellLink {
 public:
  virtual ~ShellLink() = default;  // releases the interfaces
  virtual HResult SetPath(const char* path) = 0;
  virtual HResult SetArguments(const char* arguments) = 0;
  virtual HResult SetWorkingDirectory(const char* directory) = 0;
  virtual HResult SetDescription(const char* description) = 0;
  // Converts the path to UTF-16 (at most 260 characters with the
  // terminator) and saves the link there, remembering it as its file.
  virtual HResult Save(const char* linkPath) = 0;
};

class Shell {
 public:
  virtual ~Shell() = default;
  virtual HResult Initialize() = 0;  // CoInitialize
  virtual void Uninitialize() = 0;   // CoUninitialize
  // CoCreateInstance of the shell-link class for IShellLinkW; null with the
  // result when it fails.
  virtual std::unique_ptr<ShellLink> CreateLink(HResult& result) = 0;
  // QueryInterface for IPersistFile on a created link; when it fails the
  // caller releases the link.
  virtual HResult QueryPersistFile(ShellLink& link) = 0;
};

}  // namespace qz::platform
