// Addresses on the update tests' web server (tests/fixtures/update_server.py), which
// with_update_server.sh starts beside the test program and names in QUADRIVO_UPDATE_SERVER_PORT.
#pragma once

#include <cstdlib>
#include <string>
#include <string_view>

#include "modules/update/win/http_fetch.h"

namespace quadrivo::test {

inline std::string server_root() {
  const char* port = std::getenv("QUADRIVO_UPDATE_SERVER_PORT");
  return std::string("http://127.0.0.1:") + (port ? port : "0");
}

inline bool server_configured() { return std::getenv("QUADRIVO_UPDATE_SERVER_PORT") != nullptr; }

// Nothing listens there: the connection is refused.
inline std::string closed_port_address() { return "http://127.0.0.1:1/update.xml"; }

inline std::string hex(std::string_view bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  for (const unsigned char byte : bytes) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 15];
  }
  return text;
}

// An address whose body is exactly these bytes, with this status.
inline std::string document_address(std::string_view body, int status = 200) {
  return server_root() + "/doc?status=" + std::to_string(status) + "&body=" + hex(body);
}

// A download of size pattern bytes in the given mode (see the server).
inline std::string file_address(std::string_view mode, int size, std::string_view extra = "") {
  return server_root() + "/file?mode=" + std::string(mode) + "&size=" + std::to_string(size) + std::string(extra);
}

// The bytes the server sends for a download of size bytes.
inline std::string pattern(int size) {
  std::string bytes(static_cast<std::size_t>(size), '\0');
  for (int i = 0; i < size; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<char>((i * 31 + 7) % 251);
  return bytes;
}

inline std::string xml_escape(std::string_view text) {
  std::string escaped;
  for (const char c : text) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '"': escaped += "&quot;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

// An update description: the download address (escaped) first, the version (as written, markup
// allowed) second, with line breaks and indentation around them as servers write it, then any
// further children (markup) before </Update>.
inline std::string update_document_ending(std::string_view address, std::string_view version_markup,
                                          std::string_view more_children) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Update>\r\n  <Url>" + xml_escape(address) +
         "</Url>\r\n  <Version>" + std::string(version_markup) + "</Version>\r\n" + std::string(more_children) +
         "</Update>\r\n";
}

// Without a signature.
inline std::string update_document(std::string_view address, std::string_view version_markup) {
  return update_document_ending(address, version_markup, "");
}

// The same with a third child, the signature text as given (base64 or anything a test wants),
// wrapped at 64 characters onto indented lines as some servers write base64.
inline std::string update_document(std::string_view address, std::string_view version_markup,
                                   std::string_view signature_text) {
  std::string signature = "  <Signature>";
  for (std::size_t at = 0; at < signature_text.size(); at += 64) {
    signature += "\r\n    " + std::string(signature_text.substr(at, 64));
  }
  signature += "\r\n  </Signature>\r\n";
  return update_document_ending(address, version_markup, signature);
}

inline std::string url_escape(std::string_view text) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string escaped;
  for (const unsigned char c : text) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                       c == '_' || c == '.' || c == '~';
    if (plain) {
      escaped += static_cast<char>(c);
    } else {
      escaped += '%';
      escaped += kDigits[c >> 4];
      escaped += kDigits[c & 15];
    }
  }
  return escaped;
}

// The publisher's signature (base64), made by the server with the publisher's tool, of what the
// address on this server serves, offered as version_gbk. key "other": a key the program does not
// know.
inline std::string signature_of(std::string_view address, std::string_view version_gbk, std::string_view key = "") {
  const std::string root = server_root();
  const std::string path(address.substr(address.starts_with(root) ? root.size() : 0));
  std::string request = root + "/sign?file=" + url_escape(path) + "&version=" + hex(version_gbk);
  if (!key.empty()) request += "&key=" + std::string(key);
  return update::http_fetch(request, update::HttpTimeouts{});
}

// An update description offering the file at address as version_markup (which the program reads
// as version_gbk), signed by the publisher.
inline std::string signed_update_document(std::string_view address, std::string_view version_markup,
                                          std::string_view version_gbk) {
  return update_document(address, version_markup, signature_of(address, version_gbk));
}
inline std::string signed_update_document(std::string_view address, std::string_view version) {
  return signed_update_document(address, version, version);
}

}  // namespace quadrivo::test
