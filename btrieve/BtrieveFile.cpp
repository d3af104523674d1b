#include "btrieve/BtrieveFile.h"

#include <cstring>

namespace qz {

std::uint16_t BtrieveFile::Request(std::uint16_t operation, void* data, void* key) {
  status_ = engine_.Call(operation, positionBlock_, data, &dataLength_, key, kKeyLength, keyNumber_);
  return status_;
}

std::uint16_t BtrieveFile::Open(const char* path) {
  // No owner name: an empty text as the data buffer.
  static char noOwner[1] = {'\0'};
  dataLength_ = 0;
  keyNumber_ = 0;  // the normal open mode
  Request(kOpen, noOwner, const_cast<char*>(path));
  keyNumber_ = 0;
  if (status_ != 0) return status_;
  open_ = true;
  return Stat();
}

std::uint16_t BtrieveFile::Stat() {
  std::memset(statBuffer_, 0, sizeof statBuffer_);
  dataLength_ = kStatBufferSize;
  return Request(kStat, statBuffer_, keyBuffer_);
}

std::uint16_t BtrieveFile::Call(std::uint16_t operation) {
  dataLength_ = recordLength_;
  Request(operation, recordBuffer_, keyBuffer_);
  if (operation == kClose && status_ == 0) open_ = false;
  return status_;
}

}  // namespace qz
