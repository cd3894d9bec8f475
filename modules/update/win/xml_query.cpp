#include "modules/update/win/xml_query.h"

#include <windows.h>
#include <objidl.h>
#include <shlwapi.h>
#include <xmllite.h>

#include <optional>
#include <utility>

#include "common/win/com.h"
#include "common/win/wide_text.h"
#include "modules/update/xml_text.h"

namespace quadrivo::update {
namespace {

constexpr std::size_t kSpareNodes = 16;

struct Position {
  UINT line;
  UINT column;
  bool operator==(const Position&) const = default;
};

Position position_of(IXmlReader* reader) {
  Position position{0, 0};
  reader->GetLineNumber(&position.line);
  reader->GetLinePosition(&position.column);
  return position;
}

struct ParsedDocument {
  std::wstring root_name;
  std::vector<std::wstring> child_texts;
};

std::optional<ParsedDocument> parse(std::string_view bytes) {
  if (bytes.empty()) return std::nullopt;
  const auto readable = readable_document(bytes);
  if (!readable) return std::nullopt;

  win::ComPointer<IStream> stream;
  *stream.put() = SHCreateMemStream(reinterpret_cast<const BYTE*>(readable->data()), static_cast<UINT>(readable->size()));
  if (!stream) return std::nullopt;
  win::ComPointer<IXmlReader> reader;
  if (FAILED(CreateXmlReader(__uuidof(IXmlReader), reinterpret_cast<void**>(reader.put()), nullptr))) return std::nullopt;
  // No document type: nothing the server sends may define entities or fetch anything.
  if (FAILED(reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit))) return std::nullopt;
  if (FAILED(reader->SetInput(stream.get()))) return std::nullopt;

  ParsedDocument document;
  bool root_seen = false;
  // The elements open around the current node, by where their start tags are. Counted here:
  // Wine's GetDepth() is one too deep on an end tag.
  std::vector<Position> open_elements;
  // Each node takes up at least one character of the input, so a reader that reports more nodes
  // than that, or the same kind of node twice at one place, has stopped moving: Wine's repeats the
  // text of a document cut off inside an element for ever.
  const std::size_t node_limit = readable->size() + kSpareNodes;
  std::size_t nodes = 0;
  Position previous{0, 0};
  XmlNodeType previous_type = XmlNodeType_None;
  XmlNodeType type;
  HRESULT result;
  while ((result = reader->Read(&type)) == S_OK) {
    const Position here = position_of(reader.get());
    if (++nodes > node_limit || (type == previous_type && here == previous)) return std::nullopt;
    previous = here;
    previous_type = type;
    switch (type) {
      case XmlNodeType_Element: {
        if (open_elements.empty()) {
          const WCHAR* name = nullptr;
          UINT length = 0;
          if (FAILED(reader->GetQualifiedName(&name, &length))) return std::nullopt;
          document.root_name.assign(name, length);
          root_seen = true;
        } else if (open_elements.size() == 1) {
          document.child_texts.emplace_back();
        }
        if (!reader->IsEmptyElement()) open_elements.push_back(here);
        break;
      }
      case XmlNodeType_EndElement:
        // Wine closes elements still open at the end of the input with an end tag placed at
        // their start tag; a real end tag always comes after it.
        if (open_elements.empty() || open_elements.back() == here) return std::nullopt;
        open_elements.pop_back();
        break;
      case XmlNodeType_Text:
      case XmlNodeType_CDATA:
      case XmlNodeType_Whitespace:
        if (open_elements.size() >= 2) {
          const WCHAR* value = nullptr;
          UINT length = 0;
          if (FAILED(reader->GetValue(&value, &length))) return std::nullopt;
          document.child_texts.back().append(value, length);
        }
        break;
      default:
        break;
    }
  }
  // S_FALSE is the clean end of the input; anything else is a fault somewhere in it.
  if (result != S_FALSE || !root_seen || !open_elements.empty()) return std::nullopt;
  return document;
}

}  // namespace

bool UpdateDocument::load(std::string_view bytes) {
  loaded_ = false;
  root_name_.clear();
  child_texts_.clear();
  auto parsed = parse(bytes);
  if (!parsed) return false;
  root_name_ = win::wide_to_gbk(parsed->root_name);
  for (const auto& text : parsed->child_texts) child_texts_.push_back(trim_value_blanks(win::wide_to_gbk(text)));
  loaded_ = true;
  return true;
}

bool UpdateDocument::query(std::string_view path, std::string& value) const {
  if (!loaded_) return false;
  const auto child = parse_child_query(path);
  if (!child || child->root_name != root_name_) return false;
  if (static_cast<std::size_t>(child->child_number) > child_texts_.size()) return false;
  value = child_texts_[static_cast<std::size_t>(child->child_number) - 1];
  return true;
}

}  // namespace quadrivo::update
