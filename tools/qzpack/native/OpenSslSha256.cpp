#include "tools/qzpack/native/OpenSslSha256.h"

#include <openssl/evp.h>

namespace qz::pack {
namespace {

class OpenSslSha256 : public Sha256 {
 public:
  OpenSslSha256() : context_(EVP_MD_CTX_new()) {
    ok_ = context_ != nullptr && EVP_DigestInit_ex(context_, EVP_sha256(), nullptr) == 1;
  }
  ~OpenSslSha256() override { EVP_MD_CTX_free(context_); }
  OpenSslSha256(const OpenSslSha256&) = delete;
  OpenSslSha256& operator=(const OpenSslSha256&) = delete;

  bool ok() const { return ok_; }
  bool Update(const void* data, std::size_t size) override {
    return ok_ && EVP_DigestUpdate(context_, data, size) == 1;
  }
  bool Final(unsigned char digest[kSize]) override {
    unsigned int size = 0;
    const bool done = ok_ && EVP_DigestFinal_ex(context_, digest, &size) == 1 && size == kSize;
    ok_ = false;
    return done;
  }

 private:
  EVP_MD_CTX* context_;
  bool ok_ = false;
};

}  // namespace

std::unique_ptr<Sha256> NewOpenSslSha256() {
  auto sha256 = std::make_unique<OpenSslSha256>();
  if (!sha256->ok()) return nullptr;
  return sha256;
}

}  // namespace qz::pack
