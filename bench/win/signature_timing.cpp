// Times the check of a downloaded new version as the downloader's thread makes it: SHA-256 of the
// file read in chunks through its handle, then the publisher's ECDSA P-256 signature verified,
// with Windows' own CNG. Writes a file of the given size (default 1.5 MB), signs nothing itself:
// the signature is expected to fail, which costs the same as one that verifies.
//   signature_timing [BYTES] [RUNS]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "modules/update/win/signature_check.h"

namespace {

constexpr int kDefaultBytes = 1536 * 1024;
constexpr int kDefaultRuns = 10;

double milliseconds_since(const LARGE_INTEGER& start, const LARGE_INTEGER& frequency) {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  const int bytes = argc > 1 ? std::atoi(argv[1]) : kDefaultBytes;
  const int runs = argc > 2 ? std::atoi(argv[2]) : kDefaultRuns;
  wchar_t folder[MAX_PATH];
  wchar_t path[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  GetTempFileNameW(folder, L"sig", 0, path);
  const HANDLE file = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  std::vector<char> content(static_cast<std::size_t>(bytes));
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>((i * 31 + 7) % 251);
  DWORD written = 0;
  WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);

  quadrivo::update::ExpectedSignature expected{{}, "1.19", quadrivo::update::publisher_public_key()};
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  double best = 1e9, total = 0;
  for (int run = 0; run < runs; ++run) {
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    quadrivo::update::is_signed_release(file, expected);
    const double took = milliseconds_since(start, frequency);
    best = took < best ? took : best;
    total += took;
  }
  std::printf("check of a %d-byte download: best %.2f ms, mean %.2f ms over %d runs\n", bytes, best, total / runs, runs);
  CloseHandle(file);
  return 0;
}
