#include "common/gbk_utf8.h"

#include <iconv.h>

#include <cerrno>

namespace quadrivo {
namespace {

class Iconv {
 public:
  Iconv(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~Iconv() {
    if (valid()) iconv_close(handle_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

  // Converts the whole input; an invalid or truncated sequence gives the replacement and the
  // conversion goes on one byte later. strict: report failure instead.
  bool convert(std::string_view input, std::string& output, std::string_view replacement, bool strict) {
    if (!valid()) return false;
    char* in = const_cast<char*>(input.data());
    std::size_t in_left = input.size();
    char buffer[256];
    while (in_left > 0) {
      char* out = buffer;
      std::size_t out_left = sizeof buffer;
      const std::size_t rc = iconv(handle_, &in, &in_left, &out, &out_left);
      output.append(buffer, out - buffer);
      if (rc != static_cast<std::size_t>(-1)) continue;
      if (errno == E2BIG) continue;
      if (strict) return false;
      output += replacement;
      ++in;
      --in_left;
      iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    }
    return true;
  }

 private:
  iconv_t handle_;
};

}  // namespace

std::string gbk_to_utf8(std::string_view gbk) {
  std::string utf8;
  Iconv("UTF-8", "GBK").convert(gbk, utf8, "\xEF\xBF\xBD", false);
  return utf8;
}

std::string utf8_to_gbk(std::string_view utf8) {
  std::string gbk;
  Iconv("GBK", "UTF-8").convert(utf8, gbk, "?", false);
  return gbk;
}

bool is_valid_gbk(std::string_view gbk) {
  std::string ignored;
  return Iconv("UTF-8", "GBK").convert(gbk, ignored, {}, true);
}

}  // namespace quadrivo
