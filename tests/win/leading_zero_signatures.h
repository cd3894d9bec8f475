// Signatures whose r or whose s is shorter than 32 bytes, padded with zeros on the left as the
// format requires (about one signature in 128 is like this). Made once by release/sign_update.py
// with a throwaway key pair: the private half was discarded, only the public key is kept here. The
// signed file is the update server's pattern of 1000 bytes, offered as version "1.19".
#pragma once

#include "modules/update/win/signature_check.h"

namespace quadrivo::test {

inline constexpr int kLeadingZeroFileSize = 1000;
inline constexpr char kLeadingZeroVersion[] = "1.19";

inline constexpr update::PublicKeyBlob kLeadingZeroKey = {
    0x45, 0x43, 0x53, 0x31, 0x20, 0x00, 0x00, 0x00, 0x0E, 0x29, 0x01, 0x2A,
    0xD0, 0x46, 0xC9, 0xA8, 0xC8, 0xBF, 0x68, 0x2F, 0xEE, 0xA2, 0x92, 0x99,
    0x4B, 0xA4, 0x37, 0xE7, 0x59, 0x8F, 0xEE, 0xCA, 0x5F, 0xA6, 0xC4, 0xE5,
    0x89, 0xCD, 0x8E, 0xC2, 0x46, 0x10, 0xDA, 0xB9, 0x78, 0x54, 0xC2, 0x4C,
    0x7C, 0x65, 0xAC, 0x62, 0x5F, 0x68, 0x30, 0x70, 0x28, 0xCF, 0xDD, 0x84,
    0xF1, 0x19, 0x47, 0x9A, 0xF3, 0x13, 0xFB, 0xD7, 0x67, 0x47, 0xB6, 0x14,
};

// r begins with a zero byte.
inline constexpr char kShortRSignature[] = "ALaJM9ujWqoDR4/OpTIfftKSd5CQy81IetqNCdhq501/Q8g+0iGe8H6NZ5cyPTNClrkUgw6mb05Y4qUp+WknmQ==";
// s begins with a zero byte.
inline constexpr char kShortSSignature[] = "W1q9oGTvJlW0AKpqmVh2ws6ucvsDL7GHqLt1+WbRryEAAGBe/knBIN+Dp73G7YeWaqxveZwYvBeYqn/DRG67Zw==";

}  // namespace quadrivo::test
