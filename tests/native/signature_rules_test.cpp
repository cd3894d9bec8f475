#include "modules/update/signature_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace quadrivo::update {
namespace {

// 64 bytes 0, 1, ..., 63 and their base64.
std::string counting_bytes() {
  std::string bytes;
  for (int i = 0; i < 64; ++i) bytes += static_cast<char>(i);
  return bytes;
}
const std::string kCountingBase64 =
    "AAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHh8gISIjJCUmJygpKissLS4vMDEyMzQ1Njc4OTo7PD0+Pw==";

std::string as_text(const Signature& signature) { return std::string(signature.begin(), signature.end()); }

TEST(Base64, EncodesStandardBase64WithPadding) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="},
      {std::string("\xFB\xFF\xBF", 3), "+/+/"}, {counting_bytes(), kCountingBase64},
  };
  for (const auto& [bytes, text] : cases) EXPECT_EQ(encode_base64(bytes), text);
}

TEST(DecodeSignature, TakesExactly64BytesOfStandardBase64) {
  struct Case {
    const char* name;
    std::string text;
    bool accepted;
  };
  const std::string b64 = kCountingBase64;
  const Case cases[] = {
      {"plain", b64, true},
      {"wrapped in lines of 76 with CR LF", b64.substr(0, 76) + "\r\n" + b64.substr(76), true},
      {"blanks and tabs anywhere", "  " + b64.substr(0, 10) + " \t " + b64.substr(10) + "\n", true},
      {"line break inside the padding", b64.substr(0, 87) + "\n=", true},
      {"padding missing", b64.substr(0, 86), false},
      {"one pad of two", b64.substr(0, 87), false},
      {"too many pads", b64 + "=", false},
      {"pad in the middle", b64.substr(0, 40) + "=" + b64.substr(41), false},
      {"non-zero bits in the padding", b64.substr(0, 85) + "x==", false},
      {"URL-safe alphabet", b64.substr(0, 84) + "-_==", false},
      {"foreign character", b64.substr(0, 20) + "!" + b64.substr(21), false},
      {"a full-width letter", b64.substr(0, 20) + "\xA3\xC1" + b64.substr(22), false},
      {"NUL inside", b64.substr(0, 20) + std::string(1, '\0') + b64.substr(20), false},
      {"vertical tab is not a blank here", b64.substr(0, 20) + "\v" + b64.substr(20), false},
      {"63 bytes", encode_base64(counting_bytes().substr(0, 63)), false},
      {"65 bytes", encode_base64(counting_bytes() + "x"), false},
      {"a DER signature (70 bytes)", encode_base64(std::string(70, '\x30')), false},
      {"empty", "", false},
      {"only blanks", " \r\n\t", false},
  };
  for (const Case& c : cases) {
    const auto signature = decode_signature(c.text);
    EXPECT_EQ(signature.has_value(), c.accepted) << c.name;
    if (signature) {
      EXPECT_EQ(as_text(*signature), counting_bytes()) << c.name;
    }
  }
}

TEST(DecodeSignature, LeadingZeroBytesOfRAndSAreKept) {
  std::string bytes(64, '\x5A');
  bytes[0] = bytes[1] = '\0';  // r below 2^240
  bytes[32] = '\0';            // s below 2^248
  const auto signature = decode_signature(encode_base64(bytes));
  ASSERT_TRUE(signature.has_value());
  EXPECT_EQ(as_text(*signature), bytes);
}

TEST(SignedMessage, IsTheFileDigestFollowedByTheVersionBytes) {
  Digest digest;
  for (std::size_t i = 0; i < digest.size(); ++i) digest[i] = static_cast<std::uint8_t>(0xE0 + i % 16);
  const std::string digest_bytes(digest.begin(), digest.end());
  EXPECT_EQ(signed_message(digest, "1.19"), digest_bytes + "1.19");
  EXPECT_EQ(signed_message(digest, "1.19\xD5\xFD\xCA\xBD\xB0\xE6"), digest_bytes + "1.19\xD5\xFD\xCA\xBD\xB0\xE6");
  EXPECT_EQ(signed_message(digest, "").size(), 32u);
  EXPECT_NE(signed_message(digest, "1.19"), signed_message(digest, "1.190"));
}

}  // namespace
}  // namespace quadrivo::update
