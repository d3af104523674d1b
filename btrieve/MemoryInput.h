#pragma once
// A file's bytes held in memory, read as a platform input file: for tools
// and tests that read DBSTAT.QRT or DBCHANGE.QRT without a machine.

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace qz {

class MemoryInput : public platform::InputFile {
 public:
  explicit MemoryInput(std::string bytes) : bytes_(std::move(bytes)) {}
  bool Read(void* buffer, std::size_t size, std::size_t& got) override {
    got = std::min(size, bytes_.size() - position_);
    if (got > 0) std::memcpy(buffer, bytes_.data() + position_, got);
    position_ += got;
    return true;
  }
  bool Rewind() override {
    position_ = 0;
    return true;
  }

 private:
  std::string bytes_;
  std::size_t position_ = 0;
};

}  // namespace qz
