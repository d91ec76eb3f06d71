#include "UDigest.h"

#include <windows.h>
#include <wincrypt.h>

#include "UText.h"

namespace tolvex {

namespace {

// The provider's functions are looked up at run time: Windows 95 before OSR2 has none.
struct CryptoApi {
  decltype(&CryptAcquireContextA) acquire = nullptr;
  decltype(&CryptReleaseContext) release = nullptr;
  decltype(&CryptCreateHash) create = nullptr;
  decltype(&CryptHashData) hash = nullptr;
  decltype(&CryptGetHashParam) get = nullptr;
  decltype(&CryptDestroyHash) destroy = nullptr;
  bool Load() {
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    if (!advapi) return false;
    auto look = [advapi](auto& fn, const char* name) {
      fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(reinterpret_cast<void*>(GetProcAddress(advapi, name)));
      return fn != nullptr;
    };
    return look(acquire, "CryptAcquireContextA") && look(release, "CryptReleaseContext") &&
           look(create, "CryptCreateHash") && look(hash, "CryptHashData") && look(get, "CryptGetHashParam") &&
           look(destroy, "CryptDestroyHash");
  }
};

#ifndef CALG_SHA_256
#define CALG_SHA_256 (ALG_CLASS_HASH | ALG_TYPE_ANY | 12)
#endif
#ifndef PROV_RSA_AES
#define PROV_RSA_AES 24
#endif

struct Algorithm {
  const char* name;
  DWORD provider;
  ALG_ID id;
};
const Algorithm kAlgorithms[] = {{"sha256", PROV_RSA_AES, CALG_SHA_256}, {"sha1", PROV_RSA_FULL, CALG_SHA1}};

// The digest by one algorithm; empty when the system cannot make it.
std::string DigestBy(const Algorithm& a, const std::string& text) {
  CryptoApi api;
  if (!api.Load()) return {};
  HCRYPTPROV prov = 0;
  if (!api.acquire(&prov, nullptr, nullptr, a.provider, CRYPT_VERIFYCONTEXT)) return {};
  std::string out;
  HCRYPTHASH h = 0;
  if (api.create(prov, a.id, 0, 0, &h)) {
    BYTE value[64];
    DWORD n = sizeof value;
    if (api.hash(h, reinterpret_cast<const BYTE*>(text.data()), static_cast<DWORD>(text.size()), 0) &&
        api.get(h, HP_HASHVAL, value, &n, 0)) {
      static const char kHex[] = "0123456789abcdef";
      out = std::string(a.name) + ":";
      for (DWORD i = 0; i < n; ++i) {
        out += kHex[value[i] >> 4];
        out += kHex[value[i] & 15];
      }
    }
    api.destroy(h);
  }
  api.release(prov, 0);
  return out;
}

}  // namespace

std::string TextDigest(const std::string& text) {
  for (const Algorithm& a : kAlgorithms) {
    std::string d = DigestBy(a, text);
    if (!d.empty()) return d;
  }
  return {};
}

bool TextMatchesDigest(const std::string& text, const std::string& digest) {
  for (const Algorithm& a : kAlgorithms)
    if (StartsWithNoCase(digest, std::string(a.name) + ":")) {
      std::string d = DigestBy(a, text);
      return !d.empty() && EqualsNoCase(d, digest);
    }
  return false;
}

}  // namespace tolvex
