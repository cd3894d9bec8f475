#include "common/ini.h"

#include <gtest/gtest.h>

#include <string>

namespace quadrivo {
namespace {

const std::string kBom = "\xEF\xBB\xBF";

struct ReadCase {
  const char* what;
  std::string file;
  const char* section;
  const char* key;
  std::string value;
};

TEST(IniRead, FindsValuesAsTheProfileFunctionsDo) {
  const ReadCase cases[] = {
      {"plain", "[currentVersion]\r\nVersion=1.18\r\n", "currentVersion", "Version", "1.18"},
      {"LF line ends", "[currentVersion]\nVersion=1.18\n", "currentVersion", "Version", "1.18"},
      {"no line end at the end", "[s]\r\nk=v", "s", "k", "v"},
      {"stray CR at the end", "[s]\r\nk=v\r", "s", "k", "v"},
      {"section and key in any case", "[currentVersion]\r\nVersion=1.18\r\n", "CURRENTversion", "vERSION", "1.18"},
      {"file spells them otherwise", "[CURRENTVERSION]\r\nversion=1.18\r\n", "currentVersion", "Version", "1.18"},
      {"blanks around everything", "  [ s ]  \r\n \t k \t=\t v w \t \r\n", "s", "k", "v w"},
      {"blanks around the names asked for", "[s]\r\nk=v\r\n", " s\t", "\tk ", "v"},
      {"value after the first =", "[UpdateInfo]\r\nUrl = http://h/a?b=c&d=e\r\n", "UpdateInfo", "Url", "http://h/a?b=c&d=e"},
      {"empty value", "[s]\r\nk=\r\n", "s", "k", ""},
      {"a line without = is a key without value", "[s]\r\nk\r\nk=v\r\n", "s", "k", ""},
      {"first key of the name", "[s]\r\nk=1\r\nk=2\r\n", "s", "k", "1"},
      {"only the first section of the name", "[s]\r\na=1\r\n[t]\r\n[S]\r\nk=2\r\n", "s", "k", ""},
      {"keys of the next section are not the section's", "[s]\r\n[t]\r\nk=1\r\n", "s", "k", ""},
      {"keys before any header belong to no section", "k=1\r\n[s]\r\n", "s", "k", ""},
      {"...and no empty section finds them", "k=1\r\n[s]\r\n", "", "k", ""},
      {"comment lines are never keys", "[s]\r\n;k=1\r\n  ; k=2\r\nk=3\r\n", "s", "k", "3"},
      {"not even by their own name", "[s]\r\n;k=1\r\n", "s", ";k", ""},
      {"header without ] is an ordinary line", "[s]\r\n[k=v\r\n", "s", "[k", "v"},
      {"the name runs to the last ]", "[a]b] ;x\r\nk=v\r\n", "a]b", "k", "v"},
      {"text after ] is ignored", "[s] ; the section\r\nk=v\r\n", "s", "k", "v"},
      {"UTF-8 byte-order mark", kBom + "[s]\r\nk=v\r\n", "s", "k", "v"},
      {"GBK names and values", "[数据]\r\n名称=数值\r\n", "数据", "名称", "数值"},
      // "盷" is B1 5D: its trail byte is "]" but ends no header.
      {"GBK trail byte ]", "[\xB1\x5D]\r\nk=v\r\n", "\xB1\x5D", "k", "v"},
      {"GBK trail byte ] with text after", "[\xB1\x5Dx]\r\nk=v\r\n", "\xB1\x5Dx", "k", "v"},
      // "誂" D5 41 and "誥" D5 61 differ only by the case of a trail byte.
      {"trail bytes are not letters", "[\xD5\x41]\r\nk=v\r\n", "\xD5\x61", "k", ""},
      {"trail bytes are not letters in keys", "[s]\r\n\xD5\x41=v\r\n", "s", "\xD5\x61", ""},
      {"missing file", "", "s", "k", ""},
      {"missing section", "[t]\r\nk=v\r\n", "s", "k", ""},
      {"missing key", "[s]\r\nj=v\r\n", "s", "k", ""},
      {"empty key name", "[s]\r\n=v\r\n", "s", "", ""},
      {"empty section name", "[]\r\nk=v\r\n", "", "k", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ini_read(c.file, c.section, c.key), c.value) << c.what;
}

TEST(IniRead, RemovesOnePairOfEqualQuotes) {
  const std::pair<const char*, const char*> cases[] = {
      {"\"1.18\"", "1.18"},   {"'1.18'", "1.18"},     {"\"1.18'", "\"1.18'"}, {"'1.18\"", "'1.18\""},
      {"\"", "\""},           {"'", "'"},             {"\"\"", ""},           {"''", ""},
      {"\" a b \"", " a b "}, {"\"\"x\"\"", "\"x\""}, {"\"a\"b\"", "a\"b"},   {"a\"b\"", "a\"b\""},
      {"  \"x\"  ", "x"},
  };
  for (const auto& [written, read] : cases) {
    EXPECT_EQ(ini_read(std::string("[s]\r\nk=") + written + "\r\n", "s", "k"), read) << written;
  }
}

TEST(IniRead, CutsLongValuesTo10239Bytes) {
  const std::pair<std::string, std::size_t> cases[] = {
      {std::string(10239, 'x'), 10239},
      {std::string(10240, 'x'), 10239},
      {std::string(50000, 'x'), 10239},
      {"\"" + std::string(10240, 'x') + "\"", 10239},
      {"\"" + std::string(10239, 'x') + "\"", 10239},
  };
  for (const auto& [written, length] : cases) {
    const std::string value = ini_read("[s]\r\nk=" + written + "\r\nnext=1\r\n", "s", "k");
    EXPECT_EQ(value, std::string(length, 'x')) << written.size();
  }
}

struct WriteCase {
  const char* what;
  std::string before;
  const char* section;
  const char* key;
  const char* value;
  std::string after;
};

TEST(IniWrite, ChangesOnlyTheKeysLine) {
  const std::string tail = "\r\n; the server\r\n[UpdateInfo]\r\nUrl=http://h/u.xml\r\n";
  const WriteCase cases[] = {
      {"replace", "; top\r\n[currentVersion]\r\nVersion=1.18\r\nOther = a\r\n" + tail, "currentVersion",
       "Version", "1.19", "; top\r\n[currentVersion]\r\nVersion=1.19\r\nOther = a\r\n" + tail},
      {"replace keeps indentation, spelling and spacing", "[currentVersion]\r\n  version = 1.18  \r\nx=1\r\n",
       "CurrentVersion", "VERSION", "1.19", "[currentVersion]\r\n  version = 1.19\r\nx=1\r\n"},
      {"replace an empty value", "[s]\r\nk=   \r\n", "s", "k", "v", "[s]\r\nk=v\r\n"},
      {"replace a key without =", "[s]\r\n k \r\n", "s", "k", "v", "[s]\r\n k=v\r\n"},
      {"replace keeps LF", "[s]\nk=1\nj=2\n", "s", "k", "3", "[s]\nk=3\nj=2\n"},
      {"replace the last line without line end", "[s]\r\nk=1", "s", "k", "2", "[s]\r\nk=2"},
      {"replace only the first key of the first section",
       "k=0\r\n[t]\r\nk=9\r\n[s]\r\nk=1\r\nk=2\r\n[s]\r\nk=3\r\n", "s", "k", "v",
       "k=0\r\n[t]\r\nk=9\r\n[s]\r\nk=v\r\nk=2\r\n[s]\r\nk=3\r\n"},
      {"replace not into a comment", "[s]\r\n;k=1\r\nk=2\r\n", "s", "k", "v", "[s]\r\n;k=1\r\nk=v\r\n"},
      {"replace keeps the byte-order mark", kBom + "[s]\r\nk=1\r\n", "s", "k", "2", kBom + "[s]\r\nk=2\r\n"},
      {"add after the section's last key", "[currentVersion]\r\nOther=1\r\n" + tail, "currentVersion",
       "Version", "1.19", "[currentVersion]\r\nOther=1\r\nVersion=1.19\r\n" + tail},
      {"add after the header of an empty section", "[s]\r\n\r\n[t]\r\n", "s", "k", "v",
       "[s]\r\nk=v\r\n\r\n[t]\r\n"},
      {"add after a key that ends the file", "[s]\r\nj=1", "s", "k", "v", "[s]\r\nj=1\r\nk=v\r\n"},
      {"add with LF", "[s]\nj=1\n", "s", "k", "v", "[s]\nj=1\nk=v\n"},
      {"add section at the end", "[UpdateInfo]\r\nUrl=x\r\n", "currentVersion", "Version", "1.19",
       "[UpdateInfo]\r\nUrl=x\r\n[currentVersion]\r\nVersion=1.19\r\n"},
      {"add section after a last line without line end", "[t]\nj=1", "s", "k", "v", "[t]\nj=1\n[s]\nk=v\n"},
      {"keys before any header are no section", "k=1\r\n", "s", "k", "v", "k=1\r\n[s]\r\nk=v\r\n"},
      {"create", "", "currentVersion", "Version", "1.19", "[currentVersion]\r\nVersion=1.19\r\n"},
      {"create after the byte-order mark", kBom, "s", "k", "v", kBom + "[s]\r\nk=v\r\n"},
      {"GBK", "[数据]\r\n名称=旧\r\n", "数据", "名称", "新", "[数据]\r\n名称=新\r\n"},
      {"no section name", "[s]\r\n", "", "k", "v", "[s]\r\n"},
      {"no key name", "[s]\r\n", "s", " ", "v", "[s]\r\n"},
  };
  for (const auto& c : cases) {
    const std::string after = ini_write(c.before, c.section, c.key, c.value);
    EXPECT_EQ(after, c.after) << c.what;
    if (*c.section != '\0' && std::string_view(c.key) != " ") {
      EXPECT_EQ(ini_read(after, c.section, c.key), c.value) << c.what << " (read back)";
    }
  }
}

}  // namespace
}  // namespace quadrivo
