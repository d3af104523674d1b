#pragma once
// Registry settings files: key lines ("[HKEY_...\...]") and value lines
// ("name"="text", "name"=dword:1e, "name"=hex:01,00,ff). Importing adds the
// values the registry lacks; 32-bit values may be raised.

#include <memory>
#include <string_view>

#include "common/Registry.h"
#include "common/ValueExpander.h"
#include "platform/FileSystem.h"
#include "platform/LineReader.h"
#include "text/Text.h"

namespace qz {

class RegistryFile {
 public:
  RegistryFile(platform::FileSystem& files, Registry& registry, const ValueExpander& expander)
      : files_(files), registry_(registry), expander_(expander) {}

  // Opens for reading; others may read the file meanwhile but not write it.
  bool Open(const char* path);
  void Close() { reader_.reset(); }

  // Applies every line of the open file; true when all were applied. Stops
  // at the first line that fails.
  bool Import(bool raiseDwords);
  bool ApplyValueLine(std::string_view keyPath, std::string_view line, bool raiseDwords);
  // The number (from 1) of the line Import read last: after a false
  // result, the line that failed.
  int LineNumber() const { return lineNumber_; }

 private:
  bool ApplyDWord(std::string_view keyPath, const char* name, std::string_view rest, bool raiseDwords);
  bool ApplyBinary(std::string_view keyPath, const char* name, std::string_view rest);
  bool ApplyString(std::string_view keyPath, const char* name, std::string_view rest);

  platform::FileSystem& files_;
  Registry& registry_;
  const ValueExpander& expander_;
  std::unique_ptr<platform::LineReader> reader_;
  int lineNumber_ = 0;
};

}  // namespace qz
