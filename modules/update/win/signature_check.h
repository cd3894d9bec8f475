// The publisher's signature on a downloaded new version, checked with Windows' own cryptography
// (CNG, bcrypt.dll): SHA-256 and ECDSA on P-256, with only the calls Windows 7 already has.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "modules/update/signature_rules.h"

namespace quadrivo::update {

// A P-256 public key as CNG imports it (BCRYPT_ECCPUBLIC_BLOB): "ECS1", the length 32, then X and
// Y, each 32 bytes big-endian.
inline constexpr std::size_t kPublicKeyBlobBytes = 72;
using PublicKeyBlob = std::array<std::uint8_t, kPublicKeyBlobBytes>;

// The publisher's key compiled into this module.
const PublicKeyBlob& publisher_public_key();

// What a downloaded file must carry: the signature from the update document, and the version
// text the document offered it under.
struct ExpectedSignature {
  Signature signature;
  std::string version_text;  // GBK, exactly as the program holds it
  PublicKeyBlob public_key;
};

// SHA-256 of a file's bytes from its start, read through the handle in chunks (the handle needs
// read access; its file pointer is moved). Nothing when a read or a CNG call fails.
std::optional<Digest> sha256_of_file(HANDLE file);

// SHA-256 of bytes in memory.
std::optional<Digest> sha256_of(std::string_view bytes);

// True only when the signature is a valid ECDSA P-256 signature, by the key, over SHA-256 of the
// message. Any failure of CNG, a malformed key included, is false.
bool is_signed_by(const PublicKeyBlob& key, std::string_view message, const Signature& signature);

// The whole check of a downloaded file: its digest, then the signature over the signed message.
bool is_signed_release(HANDLE file, const ExpectedSignature& expected);

}  // namespace quadrivo::update
