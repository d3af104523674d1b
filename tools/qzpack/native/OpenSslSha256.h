#pragma once
// SHA-256 from OpenSSL's libcrypto, for the native qzpack and the tests.

#include <memory>

#include "tools/qzpack/Bytes.h"

namespace qz::pack {

std::unique_ptr<Sha256> NewOpenSslSha256();

}  // namespace qz::pack
