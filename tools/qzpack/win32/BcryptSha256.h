#pragma once
// SHA-256 and random bytes from the system's bcrypt.dll, loaded from the
// system folder when first needed (it is no static import of the stub).

#include <cstddef>
#include <memory>

#include "tools/qzpack/Bytes.h"

namespace qz::pack::win32 {

// Null when bcrypt.dll or its SHA-256 cannot be had.
std::unique_ptr<Sha256> NewBcryptSha256();
// Fills `buffer` from the system's random number generator.
bool SystemRandom(void* buffer, std::size_t size);

}  // namespace qz::pack::win32
