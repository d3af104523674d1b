#pragma once
// The Btrieve engine of the simulated machine: the stand-in engine, opening
// the Windows path of each Open request through the machine's files. Names
// match without regard to case, and a file marked in use or held open
// without sharing is refused (status 85) as on Windows.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/Btrieve.h"

namespace qz::wbtrv {
class Engine;
}

namespace qz::platform::sim {

class SimMachine;

class SimBtrieve : public BtrieveEngine {
 public:
  explicit SimBtrieve(SimMachine& machine);
  ~SimBtrieve() override;

  std::uint16_t Call(std::uint16_t operation, void* positionBlock, void* dataBuffer, std::uint32_t* dataLength,
                     void* keyBuffer, std::uint8_t keyLength, std::int8_t keyNumber) override;

  // Files the engine holds open now.
  std::size_t OpenFiles() const;

 private:
  class Opener;
  std::unique_ptr<Opener> opener_;
  std::unique_ptr<wbtrv::Engine> engine_;
};

}  // namespace qz::platform::sim
