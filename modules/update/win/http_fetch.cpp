#include "modules/update/win/http_fetch.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "common/win/wide_text.h"

namespace quadrivo::update {
namespace {

constexpr wchar_t kUserAgent[] = L"Quadrivo";
constexpr DWORD kReadChunkBytes = 64 * 1024;

}  // namespace

bool HttpGet::send(std::string_view address, const HttpTimeouts& timeouts, std::optional<ULONGLONG> deadline) {
  deadline_ = deadline;
  const std::wstring url = win::gbk_to_wide(address);
  if (url.empty()) return false;

  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = static_cast<DWORD>(-1);
  parts.dwUrlPathLength = static_cast<DWORD>(-1);
  parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  parts.dwSchemeLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) return false;
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) return false;
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  std::wstring object(parts.lpszUrlPath, parts.dwUrlPathLength);
  object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (host.empty()) return false;
  if (object.empty()) object = L"/";

  session_.reset(WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                             WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session_) return false;
  connection_.reset(WinHttpConnect(session_.get(), host.c_str(), parts.nPort, 0));
  if (!connection_) return false;
  const DWORD flags = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
  request_.reset(WinHttpOpenRequest(connection_.get(), L"GET", object.c_str(), nullptr, WINHTTP_NO_REFERER,
                                    WINHTTP_DEFAULT_ACCEPT_TYPES, flags));
  if (!request_) return false;

  // On the request handle: a silent server must end the request, not hold it for ever. The limits
  // are set before sending, the only time WinHTTP (Wine's included) is sure to apply them.
  int connect_ms = timeouts.connect_ms;
  int receive_ms = timeouts.receive_ms;
  if (deadline_) {
    // Resolving, connecting, sending and waiting for the head come one after the other: under a
    // deadline each gets at most a quarter of the time left, so together they end by then.
    constexpr ULONGLONG kSteps = 4;
    const ULONGLONG now = GetTickCount64();
    if (now >= *deadline_) return false;
    const auto share = static_cast<int>(std::min<ULONGLONG>((*deadline_ - now) / kSteps, INT_MAX));
    connect_ms = std::min(connect_ms, share);
    receive_ms = std::min(receive_ms, share);
  }
  receive_limit_ms_ = receive_ms;
  if (!WinHttpSetTimeouts(request_.get(), connect_ms, connect_ms, connect_ms, receive_ms)) return false;
  DWORD response_timeout = static_cast<DWORD>(receive_ms);
  WinHttpSetOption(request_.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &response_timeout,
                   sizeof response_timeout);

  if (!WinHttpSendRequest(request_.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0)) {
    return false;
  }
  if (!WinHttpReceiveResponse(request_.get(), nullptr)) return false;

  DWORD size = sizeof status_;
  if (!WinHttpQueryHeaders(request_.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &status_, &size, WINHTTP_NO_HEADER_INDEX)) {
    return false;
  }

  // A chunked body carries its own framing, and the client reads it to its last chunk whatever
  // Content-Length says; then the length is still what the server announced, so keep it.
  wchar_t length_text[32] = {};
  size = sizeof length_text;
  if (WinHttpQueryHeaders(request_.get(), WINHTTP_QUERY_CONTENT_LENGTH, WINHTTP_HEADER_NAME_BY_INDEX, length_text,
                          &size, WINHTTP_NO_HEADER_INDEX)) {
    std::uint64_t length = 0;
    bool digits = length_text[0] != L'\0';
    for (const wchar_t* c = length_text; *c && digits; ++c) {
      digits = *c >= L'0' && *c <= L'9' && length <= (UINT64_MAX - 9) / 10;
      if (digits) length = length * 10 + static_cast<std::uint64_t>(*c - L'0');
    }
    if (digits) announced_length_ = length;
  }
  return true;
}

std::optional<DWORD> HttpGet::read(void* buffer, DWORD capacity) {
  if (!request_) return std::nullopt;
  // A read may wait its whole limit: under a deadline it starts only if it ends by then.
  if (deadline_ && GetTickCount64() + static_cast<ULONGLONG>(receive_limit_ms_) > *deadline_) return std::nullopt;
  DWORD read = 0;
  if (!WinHttpReadData(request_.get(), buffer, capacity, &read)) return std::nullopt;
  return read;
}

std::string http_fetch(std::string_view address, const HttpTimeouts& timeouts) {
  if (address.empty()) return {};
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeouts.document_total_ms);
  HttpGet get;
  if (!get.send(address, timeouts, deadline)) return {};
  std::string body;
  std::vector<char> buffer(kReadChunkBytes);
  for (;;) {
    const auto read = get.read(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (!read || GetTickCount64() > deadline) return {};
    if (*read == 0) break;
    body.append(buffer.data(), *read);
    if (body.size() > kMaxDocumentBytes) return {};
  }
  // A body shorter than announced was cut off: not the document the server meant.
  if (get.announced_length() && *get.announced_length() != body.size()) return {};
  return body;
}

}  // namespace quadrivo::update
