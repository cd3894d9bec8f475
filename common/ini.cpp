#include "common/ini.h"

#include <optional>
#include <vector>

#include "common/gbk.h"

namespace quadrivo {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kLf = "\n";

// Spaces and tabs; a stray CR (one not ending a line) is taken for a blank too, as the profile
// functions do, so a file cut after a CR still reads its last value cleanly.
bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view trim_blanks(std::string_view text) {
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  return text;
}

// Case-insensitive for ASCII letters only, and only where a byte is a character of its own: the
// trail byte of "誂" (D5 41) is "A" and that of "誥" (D5 61) is "a", yet they are different words.
bool names_match(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (is_gbk_lead(a[i]) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (ascii_lower(a[i]) != ascii_lower(b[i])) {
      return false;
    }
  }
  return true;
}

// Offset of the last "]" that is a character of its own (0x5D is also a GBK trail byte), or npos.
std::size_t last_closing_bracket(std::string_view text) {
  std::size_t found = std::string_view::npos;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (is_gbk_lead(text[i]) && i + 1 < text.size()) {
      ++i;
    } else if (text[i] == ']') {
      found = i;
    }
  }
  return found;
}

enum class LineKind { kBlank, kComment, kSection, kKey };

// One line of the file; offsets count from the start of the file bytes.
struct Line {
  std::size_t begin = 0;
  std::size_t content_end = 0;  // before the line end (LF or CR LF)
  std::size_t end = 0;          // after the line end; content_end when the line has none
  LineKind kind = LineKind::kBlank;
  std::string_view name;  // section or key name, trimmed
  // Key lines only:
  std::size_t name_end = 0;     // just after the last byte of the name
  std::size_t equals = std::string_view::npos;
  std::size_t value_begin = 0;  // first byte of the value after the blanks; content_end if none

  bool has_line_end() const { return end > content_end; }
};

std::size_t body_start(std::string_view bytes) {
  return bytes.starts_with(kUtf8ByteOrderMark) ? kUtf8ByteOrderMark.size() : 0;
}

Line classify(std::string_view bytes, std::size_t begin, std::size_t content_end, std::size_t end) {
  Line line;
  line.begin = begin;
  line.content_end = content_end;
  line.end = end;
  std::size_t start = begin;
  while (start < content_end && is_blank(bytes[start])) ++start;
  if (start == content_end) return line;
  const std::string_view content = bytes.substr(start, content_end - start);

  if (content.front() == ';') {
    line.kind = LineKind::kComment;
    return line;
  }
  if (content.front() == '[') {
    const std::size_t close = last_closing_bracket(content);
    if (close != std::string_view::npos) {
      line.kind = LineKind::kSection;
      line.name = trim_blanks(content.substr(1, close - 1));
      return line;
    }
  }

  // "=" (0x3D) is never a GBK trail byte, so a plain search finds the character.
  line.kind = LineKind::kKey;
  const std::size_t equals = content.find('=');
  const std::string_view name = trim_blanks(content.substr(0, equals));
  line.name = name;
  line.name_end = start + (name.data() - content.data()) + name.size();
  if (equals == std::string_view::npos) {
    line.value_begin = content_end;
  } else {
    line.equals = start + equals;
    std::size_t value = line.equals + 1;
    while (value < content_end && is_blank(bytes[value])) ++value;
    line.value_begin = value;
  }
  return line;
}

std::vector<Line> split_lines(std::string_view bytes) {
  std::vector<Line> lines;
  std::size_t begin = body_start(bytes);
  while (begin < bytes.size()) {
    const std::size_t newline = bytes.find('\n', begin);
    if (newline == std::string_view::npos) {
      lines.push_back(classify(bytes, begin, bytes.size(), bytes.size()));
      break;
    }
    const std::size_t content_end = newline > begin && bytes[newline - 1] == '\r' ? newline - 1 : newline;
    lines.push_back(classify(bytes, begin, content_end, newline + 1));
    begin = newline + 1;
  }
  return lines;
}

// Where key lives: the first section of that name, its first key line of that name, and the last
// key line of the section (the header itself when the section has no key).
struct Place {
  std::optional<std::size_t> section;
  std::optional<std::size_t> key;
  std::size_t last_entry = 0;
};

Place find_place(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
  Place place;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Line& line = lines[i];
    if (line.kind == LineKind::kSection) {
      if (place.section) break;  // the end of the first section of that name
      if (names_match(line.name, section)) {
        place.section = i;
        place.last_entry = i;
      }
    } else if (line.kind == LineKind::kKey && place.section) {
      place.last_entry = i;
      if (names_match(line.name, key)) {
        place.key = i;
        break;
      }
    }
  }
  return place;
}

// The line end the file already uses, so an added line looks like its neighbours.
std::string_view line_end_of(std::string_view bytes) {
  const std::size_t newline = bytes.find('\n');
  if (newline == std::string_view::npos) return kCrLf;
  return newline > 0 && bytes[newline - 1] == '\r' ? kCrLf : kLf;
}

}  // namespace

std::string ini_read(std::string_view file_bytes, std::string_view section, std::string_view key) {
  section = trim_blanks(section);
  key = trim_blanks(key);
  if (section.empty() || key.empty()) return {};
  const std::vector<Line> lines = split_lines(file_bytes);
  const Place place = find_place(lines, section, key);
  if (!place.key) return {};

  const Line& line = lines[*place.key];
  std::string_view value =
      trim_blanks(file_bytes.substr(line.value_begin, line.content_end - line.value_begin));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value.substr(0, kIniValueLimit));
}

std::string ini_write(std::string_view file_bytes, std::string_view section, std::string_view key,
                      std::string_view value) {
  section = trim_blanks(section);
  key = trim_blanks(key);
  if (section.empty() || key.empty()) return std::string(file_bytes);
  const std::vector<Line> lines = split_lines(file_bytes);
  const Place place = find_place(lines, section, key);
  const std::string_view line_end = line_end_of(file_bytes);

  std::string result;
  result.reserve(file_bytes.size() + section.size() + key.size() + value.size() + 8);

  if (place.key) {
    const Line& line = lines[*place.key];
    std::size_t prefix_end;
    if (line.equals == std::string_view::npos) {
      prefix_end = line.name_end;
    } else if (line.value_begin == line.content_end) {
      prefix_end = line.equals + 1;  // no old value: the blanks after "=" were trailing ones
    } else {
      prefix_end = line.value_begin;
    }
    result.append(file_bytes.substr(0, prefix_end));
    if (line.equals == std::string_view::npos) result += '=';
    result.append(value);
    result.append(file_bytes.substr(line.content_end));
    return result;
  }

  std::string added;
  if (!place.section) {
    added.append("[").append(section).append("]").append(line_end);
  }
  added.append(key).append("=").append(value).append(line_end);

  if (place.section) {
    const Line& after = lines[place.last_entry];
    result.append(file_bytes.substr(0, after.end));
    if (!after.has_line_end()) result.append(line_end);
    result.append(added);
    result.append(file_bytes.substr(after.end));
  } else {
    result.append(file_bytes);
    if (file_bytes.size() > body_start(file_bytes) && file_bytes.back() != '\n') result.append(line_end);
    result.append(added);
  }
  return result;
}

}  // namespace quadrivo
