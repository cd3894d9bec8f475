#include "modules/update/win/signature_check.h"

#include <bcrypt.h>

#include <vector>

#include "common/win/handles.h"

// BCryptHash and the algorithm pseudo-handles exist only from Windows 10, and Wine accepts them:
// nothing here would notice the module failing to load on Windows 7. Keep them out of reach.
#if NTDDI_VERSION >= NTDDI_WINTHRESHOLD
#error "the signature check must build against the Windows 7 API"
#endif

namespace quadrivo::update {
namespace {

constexpr DWORD kFileChunkBytes = 64 * 1024;

bool succeeded(NTSTATUS status) { return status == 0; }  // only STATUS_SUCCESS counts

struct AlgorithmTraits {
  static BCRYPT_ALG_HANDLE invalid() { return nullptr; }
  static void close(BCRYPT_ALG_HANDLE handle) { BCryptCloseAlgorithmProvider(handle, 0); }
};
struct HashTraits {
  static BCRYPT_HASH_HANDLE invalid() { return nullptr; }
  static void close(BCRYPT_HASH_HANDLE handle) { BCryptDestroyHash(handle); }
};
struct KeyTraits {
  static BCRYPT_KEY_HANDLE invalid() { return nullptr; }
  static void close(BCRYPT_KEY_HANDLE handle) { BCryptDestroyKey(handle); }
};
using UniqueAlgorithm = win::UniqueHandle<BCRYPT_ALG_HANDLE, AlgorithmTraits>;
using UniqueHash = win::UniqueHandle<BCRYPT_HASH_HANDLE, HashTraits>;
using UniqueKey = win::UniqueHandle<BCRYPT_KEY_HANDLE, KeyTraits>;

UniqueAlgorithm open_algorithm(const wchar_t* name) {
  BCRYPT_ALG_HANDLE handle = nullptr;
  if (!succeeded(BCryptOpenAlgorithmProvider(&handle, name, nullptr, 0))) return {};
  return UniqueAlgorithm(handle);
}

// One SHA-256 computation fed piece by piece. Windows 7 wants the caller to provide the hash
// object's memory.
class Sha256 {
 public:
  Sha256() : algorithm_(open_algorithm(BCRYPT_SHA256_ALGORITHM)) {
    if (!algorithm_) return;
    DWORD object_size = 0;
    ULONG written = 0;
    if (!succeeded(BCryptGetProperty(algorithm_.get(), BCRYPT_OBJECT_LENGTH, reinterpret_cast<PUCHAR>(&object_size),
                                     sizeof object_size, &written, 0))) {
      return;
    }
    object_.resize(object_size);
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (succeeded(BCryptCreateHash(algorithm_.get(), &hash, object_.data(), static_cast<ULONG>(object_.size()), nullptr,
                                   0, 0))) {
      hash_.reset(hash);
    }
  }
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  bool add(const void* bytes, ULONG size) {
    // CNG does not write through the input pointer; its declaration just lacks the const.
    return hash_ && succeeded(BCryptHashData(hash_.get(), static_cast<PUCHAR>(const_cast<void*>(bytes)), size, 0));
  }
  std::optional<Digest> finish() {
    Digest digest;
    if (!hash_ || !succeeded(BCryptFinishHash(hash_.get(), digest.data(), static_cast<ULONG>(digest.size()), 0))) {
      return std::nullopt;
    }
    return digest;
  }

 private:
  UniqueAlgorithm algorithm_;
  std::vector<UCHAR> object_;  // declared before hash_, so it outlives it
  UniqueHash hash_;
};

}  // namespace

std::optional<Digest> sha256_of(std::string_view bytes) {
  Sha256 hash;
  if (!hash.add(bytes.data(), static_cast<ULONG>(bytes.size()))) return std::nullopt;
  return hash.finish();
}

std::optional<Digest> sha256_of_file(HANDLE file) {
  LARGE_INTEGER start{};
  if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return std::nullopt;
  Sha256 hash;
  std::vector<char> chunk(kFileChunkBytes);
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file, chunk.data(), kFileChunkBytes, &read, nullptr)) return std::nullopt;
    if (read == 0) break;
    if (!hash.add(chunk.data(), read)) return std::nullopt;
  }
  return hash.finish();
}

bool is_signed_by(const PublicKeyBlob& key, std::string_view message, const Signature& signature) {
  const auto digest = sha256_of(message);
  if (!digest) return false;
  const UniqueAlgorithm ecdsa = open_algorithm(BCRYPT_ECDSA_P256_ALGORITHM);
  if (!ecdsa) return false;
  PublicKeyBlob blob = key;  // CNG takes the blob through a non-const pointer
  BCRYPT_KEY_HANDLE key_handle = nullptr;
  if (!succeeded(BCryptImportKeyPair(ecdsa.get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, &key_handle, blob.data(),
                                     static_cast<ULONG>(blob.size()), 0))) {
    return false;
  }
  const UniqueKey imported(key_handle);
  Digest hashed = *digest;
  Signature checked = signature;
  return succeeded(BCryptVerifySignature(imported.get(), nullptr, hashed.data(), static_cast<ULONG>(hashed.size()),
                                         checked.data(), static_cast<ULONG>(checked.size()), 0));
}

bool is_signed_release(HANDLE file, const ExpectedSignature& expected) {
  const auto file_digest = sha256_of_file(file);
  if (!file_digest) return false;
  return is_signed_by(expected.public_key, signed_message(*file_digest, expected.version_text), expected.signature);
}

}  // namespace quadrivo::update
