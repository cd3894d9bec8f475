// Reading and writing one key of an INI file, over the file's bytes (GBK text). The caller does the
// file work: it reads the whole file (no file reads as the empty text), and on writing replaces the
// file with the returned bytes. Keeping the rules apart from the file lets every case be tested
// without a disk, and lets the caller replace the file atomically.
//
// The rules follow the Windows profile functions:
// - An optional UTF-8 byte-order mark at the very start is skipped (and kept on writing).
// - Lines end with LF or CR LF. Blanks (spaces, tabs, and a CR that ends no line) at the start
//   of a line are ignored.
// - "[name]" starts a section; the name runs to the last "]" of the line, blanks around it
//   trimmed. A line starting with "[" but without "]" is an ordinary line.
// - A line whose first character is ";" is a comment, never a key. Blank lines are nothing.
// - Every other line is a key: its name is the text before the first "=" (the whole line when there
//   is none, with an empty value), blanks trimmed; its value is the text after that "=".
// - Keys before the first section header belong to no section and are never found.
// - Section and key names match regardless of the case of ASCII letters; the bytes of double-byte
//   characters must be equal (their trail byte may look like an ASCII letter). Names asked for are
//   trimmed of blanks first. Only the first section of a name counts, and in it the first key.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quadrivo {

// Longest value a read gives: the profile functions fill a buffer of 10,240 bytes, NUL included.
inline constexpr std::size_t kIniValueLimit = 10239;

// The value of key in section: blanks around it trimmed, then one enclosing pair of equal quotes
// (double or single) removed, then cut to its first kIniValueLimit bytes. A missing section or
// key, or an empty section or key name, reads as the empty text.
std::string ini_read(std::string_view file_bytes, std::string_view section, std::string_view key);

// The file's bytes after setting key in section to value, every other line kept byte for byte:
// - the key exists: its first line in the section is rewritten; the line's own text up to the "="
//   and the blanks after it (indentation, spelling of the name) and its line end are kept;
// - the section exists without the key: "key=value" is added after the section's last key line
//   (after the header when it has none), so blank and comment lines that end the section stay
//   before the next header;
// - no such section: "[section]" and "key=value" are added at the end of the file;
// - empty file (or only a byte-order mark): the same two lines make up the file.
// New lines end with the file's line end (that of its first line; CR LF when it has none); a last
// line without a line end is given one before a line is added after it. The value is written as
// given; it must hold no line break. An empty section or key name returns the bytes unchanged.
std::string ini_write(std::string_view file_bytes, std::string_view section, std::string_view key,
                      std::string_view value);

}  // namespace quadrivo
