// The parts of reading the update description document that need no XML reader: the query
// "Update/@N", the trimming of a value, and bringing a GBK-declared document into UTF-8 (XmlLite
// rejects GBK and GB2312 declarations under Wine and on older Windows).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quadrivo::update {

// "Root/@N": the root element's name, a slash, an at sign and a child number of 1 or more.
struct ChildQuery {
  std::string root_name;
  int child_number;
};

// Nothing for any other form ("Update", "Update/@0", "Update/@x", "/@1", "Update/@1/x").
std::optional<ChildQuery> parse_child_query(std::string_view query);

// Without the blanks, tabs, CR and LF at either end; inner ones are kept.
std::string trim_value_blanks(std::string_view text);

// The encoding named by the XML declaration at the start of the document ("" without one).
std::string declared_encoding(std::string_view document);

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates, nothing past
// U+10FFFF).
bool is_valid_utf8(std::string_view bytes);

// The document as the XML reader may take it. A document declared as GBK, GB2312, GB18030, CP936 or
// windows-936 (any letter case) is converted from GBK to UTF-8 and its declaration made to say
// UTF-8; nothing when its bytes are not valid GBK. A document in UTF-8 (no UTF-16 byte-order mark,
// no declaration of another encoding) must be valid UTF-8, else nothing: XmlLite under Wine reads
// invalid bytes without complaint. Every other document is returned unchanged.
std::optional<std::string> readable_document(std::string_view document);

}  // namespace quadrivo::update
