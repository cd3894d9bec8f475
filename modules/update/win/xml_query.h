// The update description document as the update module keeps it: loaded from bytes with
// XmlLite, Windows' own XML reader, and asked for "Update/@N", the text of the N-th child
// element of the root.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quadrivo::update {

class UpdateDocument {
 public:
  // Drops the previous document, then reads the bytes to their end. False, with no document
  // kept, when they are empty or not well-formed XML anywhere up to their end (a fault after
  // the wanted value still counts: the server sent something other than what it meant).
  bool load(std::string_view bytes);

  // "Root/@N": when a document is loaded, its root element is named Root (exactly, letter case
  // included) and has at least N child elements, stores the N-th child's text content into
  // value and returns true; otherwise leaves value untouched and returns false. The text content
  // is every text and CDATA section inside the child, in order, escapes resolved (CDATA is taken
  // as written), trimmed of blanks, tabs, CR and LF at either end. GBK text.
  bool query(std::string_view path, std::string& value) const;

 private:
  bool loaded_ = false;
  std::string root_name_;
  std::vector<std::string> child_texts_;
};

}  // namespace quadrivo::update
