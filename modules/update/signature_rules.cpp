#include "modules/update/signature_rules.h"

namespace quadrivo::update {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kPad = '=';
constexpr int kNotBase64 = -1;
constexpr std::size_t kGroupChars = 4;
constexpr std::size_t kGroupBytes = 3;

int sextet(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return kNotBase64;
}

bool is_ignored_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Base64 of any length, canonical form only; nothing on any fault.
std::optional<std::string> decode_base64(std::string_view text) {
  std::string compact;
  compact.reserve(text.size());
  for (const char c : text) {
    if (!is_ignored_blank(c)) compact += c;
  }
  if (compact.empty() || compact.size() % kGroupChars != 0) return std::nullopt;
  std::size_t padding = 0;
  while (padding < 2 && compact[compact.size() - 1 - padding] == kPad) ++padding;

  std::string bytes;
  bytes.reserve(compact.size() / kGroupChars * kGroupBytes);
  std::uint32_t bits = 0;
  int bit_count = 0;
  for (std::size_t i = 0; i < compact.size() - padding; ++i) {
    const int value = sextet(compact[i]);
    if (value == kNotBase64) return std::nullopt;  // "=" inside the text included
    bits = (bits << 6) | static_cast<std::uint32_t>(value);
    bit_count += 6;
    if (bit_count >= 8) {
      bit_count -= 8;
      bytes += static_cast<char>((bits >> bit_count) & 0xFF);
    }
  }
  // The bits left over are padding and must be zero, or two texts would give the same bytes.
  if ((bits & ((1u << bit_count) - 1)) != 0) return std::nullopt;
  return bytes;
}

}  // namespace

std::optional<Signature> decode_signature(std::string_view text) {
  const auto bytes = decode_base64(text);
  if (!bytes || bytes->size() != kSignatureBytes) return std::nullopt;
  Signature signature;
  for (std::size_t i = 0; i < kSignatureBytes; ++i) signature[i] = static_cast<std::uint8_t>((*bytes)[i]);
  return signature;
}

std::string encode_base64(std::string_view bytes) {
  std::string text;
  text.reserve((bytes.size() + kGroupBytes - 1) / kGroupBytes * kGroupChars);
  for (std::size_t i = 0; i < bytes.size(); i += kGroupBytes) {
    const std::size_t count = bytes.size() - i < kGroupBytes ? bytes.size() - i : kGroupBytes;
    std::uint32_t group = 0;
    for (std::size_t j = 0; j < kGroupBytes; ++j) {
      group = (group << 8) | (j < count ? static_cast<unsigned char>(bytes[i + j]) : 0u);
    }
    for (std::size_t j = 0; j < kGroupChars; ++j) {
      text += j <= count ? kAlphabet[(group >> (18 - 6 * j)) & 0x3F] : kPad;
    }
  }
  return text;
}

std::string signed_message(const Digest& file_digest, std::string_view version_text) {
  std::string message(reinterpret_cast<const char*>(file_digest.data()), file_digest.size());
  message.append(version_text);
  return message;
}

}  // namespace quadrivo::update
