#include "tools/qzpack/win32/BcryptSha256.h"

#include <windows.h>
// After windows.h, which it builds on.
#include <bcrypt.h>

#include <vector>

#include "tools/qzpack/win32/SystemLibrary.h"

namespace qz::pack::win32 {
namespace {

// bcrypt.dll's functions, looked up once.
struct Bcrypt {
  decltype(&BCryptOpenAlgorithmProvider) open = nullptr;
  decltype(&BCryptCloseAlgorithmProvider) close = nullptr;
  decltype(&BCryptGetProperty) getProperty = nullptr;
  decltype(&BCryptCreateHash) createHash = nullptr;
  decltype(&BCryptHashData) hashData = nullptr;
  decltype(&BCryptFinishHash) finishHash = nullptr;
  decltype(&BCryptDestroyHash) destroyHash = nullptr;
  decltype(&BCryptGenRandom) genRandom = nullptr;

  bool loaded() const { return open && close && getProperty && createHash && hashData && finishHash && destroyHash && genRandom; }
};

const Bcrypt& Functions() {
  static const Bcrypt functions = [] {
    Bcrypt f;
    HMODULE dll = LoadSystemLibrary(L"bcrypt.dll");
    f.open = ProcOf<decltype(f.open)>(dll, "BCryptOpenAlgorithmProvider");
    f.close = ProcOf<decltype(f.close)>(dll, "BCryptCloseAlgorithmProvider");
    f.getProperty = ProcOf<decltype(f.getProperty)>(dll, "BCryptGetProperty");
    f.createHash = ProcOf<decltype(f.createHash)>(dll, "BCryptCreateHash");
    f.hashData = ProcOf<decltype(f.hashData)>(dll, "BCryptHashData");
    f.finishHash = ProcOf<decltype(f.finishHash)>(dll, "BCryptFinishHash");
    f.destroyHash = ProcOf<decltype(f.destroyHash)>(dll, "BCryptDestroyHash");
    f.genRandom = ProcOf<decltype(f.genRandom)>(dll, "BCryptGenRandom");
    return f;
  }();
  return functions;
}

bool Succeeded(NTSTATUS status) { return status >= 0; }

// An algorithm provider, closed with the object.
class Provider {
 public:
  explicit Provider(const wchar_t* algorithm) {
    const Bcrypt& f = Functions();
    if (f.loaded() && !Succeeded(f.open(&handle_, algorithm, nullptr, 0))) handle_ = nullptr;
  }
  ~Provider() {
    if (handle_) Functions().close(handle_, 0);
  }
  Provider(const Provider&) = delete;
  Provider& operator=(const Provider&) = delete;
  BCRYPT_ALG_HANDLE get() const { return handle_; }

 private:
  BCRYPT_ALG_HANDLE handle_ = nullptr;
};

class BcryptSha256 : public Sha256 {
 public:
  BcryptSha256() : provider_(BCRYPT_SHA256_ALGORITHM) {
    // Vista needs the hash object's memory from the caller; a null buffer
    // is taken from Windows 7 on.
    const Bcrypt& f = Functions();
    DWORD objectSize = 0;
    ULONG got = 0;
    if (!provider_.get() ||
        !Succeeded(f.getProperty(provider_.get(), BCRYPT_OBJECT_LENGTH, reinterpret_cast<PUCHAR>(&objectSize),
                                 sizeof objectSize, &got, 0))) {
      return;
    }
    object_.resize(objectSize);
    if (!Succeeded(f.createHash(provider_.get(), &hash_, object_.data(), objectSize, nullptr, 0, 0))) hash_ = nullptr;
  }
  ~BcryptSha256() override {
    if (hash_) Functions().destroyHash(hash_);
  }
  BcryptSha256(const BcryptSha256&) = delete;
  BcryptSha256& operator=(const BcryptSha256&) = delete;

  bool ok() const { return hash_ != nullptr; }
  bool Update(const void* data, std::size_t size) override {
    auto* bytes = static_cast<unsigned char*>(const_cast<void*>(data));
    while (hash_ && size > 0) {
      const ULONG part = static_cast<ULONG>(size > 0x40000000 ? 0x40000000 : size);
      if (!Succeeded(Functions().hashData(hash_, bytes, part, 0))) return false;
      bytes += part;
      size -= part;
    }
    return hash_ != nullptr;
  }
  bool Final(unsigned char digest[kSize]) override {
    return hash_ && Succeeded(Functions().finishHash(hash_, digest, kSize, 0));
  }

 private:
  Provider provider_;
  BCRYPT_HASH_HANDLE hash_ = nullptr;
  std::vector<UCHAR> object_;
};

}  // namespace

std::unique_ptr<Sha256> NewBcryptSha256() {
  auto sha256 = std::make_unique<BcryptSha256>();
  if (!sha256->ok()) return nullptr;
  return sha256;
}

bool SystemRandom(void* buffer, std::size_t size) {
  // The RNG provider rather than BCRYPT_USE_SYSTEM_PREFERRED_RNG, which
  // Vista lacks.
  Provider rng(BCRYPT_RNG_ALGORITHM);
  return rng.get() && Succeeded(Functions().genRandom(rng.get(), static_cast<PUCHAR>(buffer),
                                                      static_cast<ULONG>(size), 0));
}

}  // namespace qz::pack::win32
