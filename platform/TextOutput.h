#pragma once
// The text-mode stream both builds append through: "\n" becomes "\r\n", and
// writes collect in a buffer that is flushed when full and on close, as the
// C runtime's buffered stream does.

#include <string>

#include "platform/FileSystem.h"

namespace qz::platform {

class TextOutput : public OutputFile {
 public:
  bool Write(const char* text, std::size_t size) override {
    for (std::size_t i = 0; i < size; ++i) {
      if (text[i] == '\n') buffer_ += '\r';
      buffer_ += text[i];
    }
    return buffer_.size() < kBufferSize || Flush();
  }

 protected:
  // Writes the bytes to the file; false when not all could be written.
  virtual bool WriteRaw(const char* bytes, std::size_t size) = 0;
  // Derived destructors call this before closing their file.
  bool Flush() {
    bool ok = buffer_.empty() || WriteRaw(buffer_.data(), buffer_.size());
    buffer_.clear();
    return ok;
  }

 private:
  static constexpr std::size_t kBufferSize = 4096;
  std::string buffer_;
};

}  // namespace qz::platform
