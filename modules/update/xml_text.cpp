#include "modules/update/xml_text.h"

#include <charconv>
#include <cstdint>

#include "common/gbk.h"
#include "common/gbk_utf8.h"

namespace quadrivo::update {
namespace {

constexpr std::string_view kChildMarker = "/@";
constexpr std::string_view kDeclarationStart = "<?xml";
constexpr std::string_view kDeclarationEnd = "?>";
constexpr std::string_view kEncodingName = "encoding";
constexpr std::string_view kUtf8Name = "UTF-8";
// Names under which servers declare GBK text; GB2312 and GB18030 documents in practice hold GBK
// characters only, and a GB18030 four-byte character fails the GBK check rather than being misread.
constexpr std::string_view kGbkFamily[] = {"gbk", "gb2312", "gb18030", "cp936", "windows-936", "x-gbk"};

bool is_value_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool is_xml_space(char c) { return is_value_blank(c); }

std::string lower(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = ascii_lower(c);
  return result;
}

// Where the value of the declaration's encoding pseudo-attribute lies (without its quotes).
struct ValueRange {
  std::size_t begin;
  std::size_t end;
};

std::optional<ValueRange> encoding_value_range(std::string_view document) {
  if (!document.starts_with(kDeclarationStart) || document.size() <= kDeclarationStart.size() ||
      !is_xml_space(document[kDeclarationStart.size()])) {
    return std::nullopt;
  }
  const std::size_t end = document.find(kDeclarationEnd);
  if (end == std::string_view::npos) return std::nullopt;
  const std::string_view declaration = document.substr(0, end);
  std::size_t at = declaration.find(kEncodingName);
  if (at == std::string_view::npos || !is_xml_space(declaration[at - 1])) return std::nullopt;
  at += kEncodingName.size();
  while (at < declaration.size() && is_xml_space(declaration[at])) ++at;
  if (at >= declaration.size() || declaration[at] != '=') return std::nullopt;
  ++at;
  while (at < declaration.size() && is_xml_space(declaration[at])) ++at;
  if (at >= declaration.size() || (declaration[at] != '"' && declaration[at] != '\'')) return std::nullopt;
  const char quote = declaration[at];
  const std::size_t value_end = declaration.find(quote, at + 1);
  if (value_end == std::string_view::npos) return std::nullopt;
  return ValueRange{at + 1, value_end};
}

}  // namespace

std::optional<ChildQuery> parse_child_query(std::string_view query) {
  const std::size_t marker = query.find(kChildMarker);
  if (marker == std::string_view::npos || marker == 0) return std::nullopt;
  const std::string_view number = query.substr(marker + kChildMarker.size());
  if (number.empty() || number.front() < '1' || number.front() > '9') return std::nullopt;
  int child = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), child);
  if (error != std::errc() || end != number.data() + number.size()) return std::nullopt;
  const std::string_view root = query.substr(0, marker);
  if (root.find('/') != std::string_view::npos) return std::nullopt;
  return ChildQuery{std::string(root), child};
}

std::string trim_value_blanks(std::string_view text) {
  while (!text.empty() && is_value_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_value_blank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

std::string declared_encoding(std::string_view document) {
  const auto range = encoding_value_range(document);
  if (!range) return {};
  return std::string(document.substr(range->begin, range->end - range->begin));
}

bool is_valid_utf8(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    std::size_t length;
    std::uint32_t code;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      code = lead & 0x07;
    } else {
      return false;
    }
    if (i + length > bytes.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto trail = static_cast<unsigned char>(bytes[i + k]);
      if ((trail & 0xC0) != 0x80) return false;
      code = (code << 6) | (trail & 0x3F);
    }
    constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

std::optional<std::string> readable_document(std::string_view document) {
  if (document.starts_with("\xFF\xFE") || document.starts_with("\xFE\xFF")) return std::string(document);
  const auto range = encoding_value_range(document);
  const std::string name = range ? lower(document.substr(range->begin, range->end - range->begin)) : std::string();
  bool gbk = false;
  for (const std::string_view family : kGbkFamily) gbk = gbk || name == family;
  if (!gbk) {
    if ((name.empty() || name == "utf-8" || name == "utf8") && !is_valid_utf8(document)) return std::nullopt;
    return std::string(document);
  }
  if (!is_valid_gbk(document)) return std::nullopt;
  std::string converted = gbk_to_utf8(document.substr(0, range->begin));
  converted += kUtf8Name;
  converted += gbk_to_utf8(document.substr(range->end));
  return converted;
}

}  // namespace quadrivo::update
