// Checks the bytes of a log.txt a real program wrote: exactly the given entries, in order, each
// stamped with a second between two moments of the test.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace quadrivo::test {

struct ExpectedEntry {
  std::string message;  // GBK
  int kind;
};

SYSTEMTIME local_now();

// A GoogleTest expectation: fails the running test, naming the first entry that does not match.
void expect_log(const std::wstring& path, const std::vector<ExpectedEntry>& entries, const SYSTEMTIME& before,
                const SYSTEMTIME& after);

}  // namespace quadrivo::test
