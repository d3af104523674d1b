#pragma once
// An engine that is not there: every request answers status 1 (invalid
// operation). The setup program runs on it where no Btrieve engine is bound.

#include "platform/Btrieve.h"

namespace qz {

class NoBtrieveEngine : public platform::BtrieveEngine {
 public:
  std::uint16_t Call(std::uint16_t, void*, void*, std::uint32_t*, void*, std::uint8_t, std::int8_t) override {
    return 1;
  }
};

}  // namespace qz
