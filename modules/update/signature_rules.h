// What the publisher signs and how the signature travels in the update description document, as
// plain functions. The cryptography itself is Windows' own (signature_check.h); these rules are
// portable, so publishers' tools and tests can rely on exactly the same bytes.
//
// The document's third child of Update holds the signature in standard base64: 64 bytes, r then
// s of an ECDSA P-256 signature, each 32 bytes big-endian and left-padded with zeros. What is
// signed (with SHA-256 as the signature's hash) is the signed message below.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quadrivo::update {

inline constexpr char kSignatureQuery[] = "Update/@3";

inline constexpr std::size_t kDigestBytes = 32;     // SHA-256
inline constexpr std::size_t kSignatureBytes = 64;  // r and s, 32 bytes each

using Digest = std::array<std::uint8_t, kDigestBytes>;
using Signature = std::array<std::uint8_t, kSignatureBytes>;

// Standard base64 (A-Z a-z 0-9 + /, "=" padding to a multiple of four) with every blank, tab, CR
// and LF anywhere in the text ignored, so a signature may be wrapped over lines. Nothing for any
// other character, a missing or misplaced "=", non-zero bits in the padding, or a length that is
// not 64 bytes.
std::optional<Signature> decode_signature(std::string_view text);

// The same base64 of any bytes (no line breaks); for tests and tools.
std::string encode_base64(std::string_view bytes);

// What the publisher signs: SHA-256 of the downloaded file's bytes, followed by the bytes of the
// new-version text exactly as the program holds it (GBK). Binding the version in means that a
// signed old release cannot be offered under a newer number.
std::string signed_message(const Digest& file_digest, std::string_view version_text);

}  // namespace quadrivo::update
