#pragma once
// The sizes the copy loops of both machines ask their reads for. Left
// alone, every read asks for the whole buffer. A test can shape the reads
// of the copies that follow: the n-th read asks for at most the n-th limit,
// so that it comes back short, or, with a limit of 0, comes back empty as
// at the end of the file. Past the last limit the reads are whole again.

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace qz::platform {

class CopyReads {
 public:
  void Shape(std::vector<std::size_t> limits) {
    limits_ = std::move(limits);
    next_ = 0;
  }
  bool shaped() const { return next_ < limits_.size(); }
  // The size of the next read, for a buffer of `wanted` bytes.
  std::size_t Next(std::size_t wanted) {
    if (next_ >= limits_.size()) return wanted;
    return std::min(wanted, limits_[next_++]);
  }

 private:
  std::vector<std::size_t> limits_;
  std::size_t next_ = 0;
};

}  // namespace qz::platform
