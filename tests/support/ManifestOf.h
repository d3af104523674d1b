#pragma once
// A Windows program's application manifest, read back as the loader reads
// it: resource 1 of type RT_MANIFEST.

#include <windows.h>

#include <string>

namespace qz::test {

// The manifest of a loaded module (nullptr: the running program).
inline std::string ManifestOf(HMODULE module) {
  std::string text = "<no manifest>";
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (bytes) text.assign(static_cast<const char*>(bytes), SizeofResource(module, found));
  return text;
}

// The manifest of a program file, loaded as data only.
inline std::string ManifestOf(const std::string& program) {
  HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return "<cannot load " + program + ">";
  std::string text = ManifestOf(module);
  FreeLibrary(module);
  return text;
}

}  // namespace qz::test
