// Config.ini on disk: one key read, one key written. The rules of the file's text are ini.h's;
// this adds the file, and makes a write replace the whole file at once so that a crash or a full
// disk never leaves half a Config.ini behind.
#pragma once

#include <string>
#include <string_view>

namespace quadrivo::update {

// The value of key in section, GBK text; empty when the file, section or key is missing or the
// file cannot be read.
std::string read_config_value(const std::wstring& path, std::string_view section, std::string_view key);

// Sets key in section, every other line kept. The new contents go to a temporary file beside
// path, which then replaces path in one rename. False, with path unchanged, when the file is
// read-only, exists but cannot be read, or any step of writing fails.
bool write_config_value(const std::wstring& path, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace quadrivo::update
