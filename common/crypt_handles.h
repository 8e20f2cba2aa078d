#pragma once
#include <windows.h>
// wincrypt.h needs the types of windows.h; WIN32_LEAN_AND_MEAN leaves it out.
#include <wincrypt.h>

// The one owner of a CryptoAPI provider context: released when it goes out of scope.
class CryptProvider {
 public:
  CryptProvider() = default;
  ~CryptProvider() {
    if (provider_) CryptReleaseContext(provider_, 0);
  }
  CryptProvider(const CryptProvider&) = delete;
  CryptProvider& operator=(const CryptProvider&) = delete;

  // Where the platform writes a newly acquired context; for an empty owner only.
  HCRYPTPROV* Receive() { return &provider_; }
  HCRYPTPROV get() const { return provider_; }

 private:
  HCRYPTPROV provider_ = 0;
};

// The one owner of a CryptoAPI hash object: destroyed when it goes out of scope.
// Declare it after the provider it was created from, so that it goes first.
class CryptHash {
 public:
  CryptHash() = default;
  ~CryptHash() {
    if (hash_) CryptDestroyHash(hash_);
  }
  CryptHash(const CryptHash&) = delete;
  CryptHash& operator=(const CryptHash&) = delete;

  // Where the platform writes a newly created hash; for an empty owner only.
  HCRYPTHASH* Receive() { return &hash_; }
  HCRYPTHASH get() const { return hash_; }

 private:
  HCRYPTHASH hash_ = 0;
};
