// Byte rules of GBK (code page 936) text that several rooms read byte by byte. Portable.
#pragma once

namespace quadrivo {

// The first byte of a double-byte character.
constexpr bool is_gbk_lead(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

// A byte that may follow a lead byte.
constexpr bool is_gbk_trail(unsigned char byte) { return byte >= 0x40 && byte <= 0xFE && byte != 0x7F; }

// A-Z to a-z; every other byte, GBK bytes included, as it is.
constexpr char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace quadrivo
