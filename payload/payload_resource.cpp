#include "payload/payload_resource.h"

#include <cstring>

#include "common/crypt_handles.h"
#include "payload/archive_format.h"

namespace {

const DWORD kDigestBytes = 32;

// The SHA-256 of the bytes as 64 lower-case hex digits; false when the
// system offers no SHA-256 (before Windows XP SP3).
bool HexDigest(const BinResource& bytes, char (&hex)[2 * kDigestBytes]) {
  // A verify-only context uses no key container: nothing is read from or
  // written to the user's key store.
  CryptProvider provider;
  if (!CryptAcquireContextA(provider.Receive(), nullptr, nullptr, PROV_RSA_AES,
                            CRYPT_VERIFYCONTEXT))
    return false;
  CryptHash hash;
  if (!CryptCreateHash(provider.get(), CALG_SHA_256, 0, 0, hash.Receive())) return false;
  if (!CryptHashData(hash.get(), bytes.data, bytes.size, 0)) return false;
  BYTE digest[kDigestBytes];
  DWORD length = sizeof digest;
  if (!CryptGetHashParam(hash.get(), HP_HASHVAL, digest, &length, 0) || length != sizeof digest)
    return false;
  const char digits[] = "0123456789abcdef";
  for (DWORD i = 0; i < kDigestBytes; ++i) {
    hex[2 * i] = digits[digest[i] >> 4];
    hex[2 * i + 1] = digits[digest[i] & 0xF];
  }
  return true;
}

}  // namespace

BinResource LockBinResource(int id) {
  BinResource found;
  HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(id), "BIN");
  HGLOBAL loaded = resource ? LoadResource(nullptr, resource) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return found;
  found.data = static_cast<const uint8_t*>(bytes);
  found.size = SizeofResource(nullptr, resource);
  return found;
}

int32_t PayloadLongestInstallFolder() {
  const BinResource archive = LockBinResource(kArchiveResourceId);
  return LongestInstallFolder(archive.data, archive.size);
}

bool PayloadIsIntact() {
  const BinResource archive = LockBinResource(kArchiveResourceId);
  const BinResource recorded = LockBinResource(kChecksumResourceId);
  char computed[2 * kDigestBytes];
  if (!archive.data || !recorded.data || recorded.size != sizeof computed) return false;
  return HexDigest(archive, computed) && std::memcmp(computed, recorded.data, sizeof computed) == 0;
}
