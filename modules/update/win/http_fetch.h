// HTTP GET over WinHTTP, for the update description document and for the download. http and
// https; the system's proxy settings; time-outs on the request handle itself, because time-outs
// on the session alone never end a request to a server that accepts and then stays silent.
#pragma once

#include <windows.h>
#include <winhttp.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/win/handles.h"

namespace quadrivo::update {

struct HttpTimeouts {
  // Name resolution, connecting, sending the request: each at most this long.
  int connect_ms = 10000;
  // Waiting for the response head, and for each piece of the body.
  int receive_ms = 10000;
  // The whole of a document fetch, from name resolution to the last byte, which blocks the
  // user-interface thread: neither a slow name server nor a server that sends a byte now and then
  // may hold it longer. The background download has no such limit.
  int document_total_ms = 30000;
};

struct InternetHandleTraits {
  static HINTERNET invalid() { return nullptr; }
  static void close(HINTERNET handle) { WinHttpCloseHandle(handle); }
};
using UniqueInternet = win::UniqueHandle<HINTERNET, InternetHandleTraits>;

// One GET request, from sending to the end of its body.
class HttpGet {
 public:
  // address: GBK text, "http://..." or "https://...". Sends the request and waits for the
  // response head; false when the address cannot be used or no response came. With a deadline
  // (a GetTickCount64 value), every step from name resolution to the last read of the body ends by
  // then: each is given at most the time that is left.
  bool send(std::string_view address, const HttpTimeouts& timeouts, std::optional<ULONGLONG> deadline = std::nullopt);

  // After send(): the status code, and the announced length of the body (nothing when the
  // response announced none, or the body is chunked).
  DWORD status() const { return status_; }
  std::optional<std::uint64_t> announced_length() const { return announced_length_; }

  // The next piece of the body: its size in bytes, 0 at the clean end of the body, nothing on a
  // failure (time-out, connection dropped before the end).
  std::optional<DWORD> read(void* buffer, DWORD capacity);

 private:
  std::optional<ULONGLONG> deadline_;
  int receive_limit_ms_ = 0;
  UniqueInternet session_;
  UniqueInternet connection_;
  UniqueInternet request_;
  DWORD status_ = 0;
  std::optional<std::uint64_t> announced_length_;
};

// The longest document body accepted; a longer one is a failed fetch.
inline constexpr std::size_t kMaxDocumentBytes = 1024 * 1024;

// The whole body of a GET of address, whatever the status code; empty when the address is empty,
// the fetch fails, takes longer than document_total_ms, or the body exceeds kMaxDocumentBytes.
std::string http_fetch(std::string_view address, const HttpTimeouts& timeouts);

}  // namespace quadrivo::update
