// A small host program for the log module: loads Scribbet.dll from its own folder, as the
// program does, and calls it through a __stdcall pointer, checking that the callee removes
// exactly its two arguments.
//   log_host call KIND MESSAGE [KIND MESSAGE ...]   MESSAGE: "null", "empty" or "hex:<bytes>"
//   log_host many TAG COUNT EVENT                   waits for the named event, then COUNT entries
// Exit codes: 0 done, 2 usage, 3 stack not balanced, 4 module or function missing.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/win/run_directory.h"

namespace {

using ScribbetFunction = int(__stdcall*)(const char*, int);

// Calls the function by hand so that a callee that removes the wrong number of bytes shows.
bool call_balanced(ScribbetFunction function, const char* message, int kind) {
#if !defined(__i386__)
  // One calling convention on 64-bit Windows: the caller restores the stack, nothing to check.
  function(message, kind);
  return true;
#else
  unsigned long function_reg = reinterpret_cast<unsigned long>(function);
  unsigned long message_reg = reinterpret_cast<unsigned long>(message);
  unsigned long kind_reg = static_cast<unsigned long>(kind);
  long stack_delta = 0;
  asm volatile(
      "movl %%esp, %%esi\n\t"
      "pushl %%edx\n\t"
      "pushl %%ecx\n\t"
      "call *%%eax\n\t"
      "movl %%esp, %%edi\n\t"
      "subl %%esi, %%edi\n\t"
      "movl %%esi, %%esp\n\t"
      : "+a"(function_reg), "+c"(message_reg), "+d"(kind_reg), "=D"(stack_delta)
      :
      : "esi", "memory", "cc");
  return stack_delta == 0;
#endif
}

std::string decode_hex(const char* hex) {
  std::string bytes;
  for (const char* p = hex; p[0] && p[1]; p += 2) {
    const char pair[3] = {p[0], p[1], 0};
    bytes += static_cast<char>(std::strtoul(pair, nullptr, 16));
  }
  return bytes;
}

int call_many(ScribbetFunction scribbet, const char* tag, int count, const char* event_name) {
  const HANDLE start = OpenEventA(SYNCHRONIZE, FALSE, event_name);
  if (start) {
    WaitForSingleObject(start, 30000);
    CloseHandle(start);
  }
  char message[64];
  for (int i = 1; i <= count; ++i) {
    std::snprintf(message, sizeof message, "%s %04d", tag, i);
    if (!call_balanced(scribbet, message, 2)) return 3;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const HMODULE module = LoadLibraryW(quadrivo::win::run_path(L"\\Scribbet.dll").c_str());
  if (!module) return 4;
  const auto scribbet = reinterpret_cast<ScribbetFunction>(
      reinterpret_cast<void*>(GetProcAddress(module, "Scribbet")));
  if (!scribbet) return 4;

  const std::string mode = argv[1];
  if (mode == "many" && argc == 5) return call_many(scribbet, argv[2], std::atoi(argv[3]), argv[4]);
  if (mode != "call" || argc % 2 != 0) return 2;
  for (int i = 2; i + 1 < argc; i += 2) {
    const int kind = std::atoi(argv[i]);
    const std::string argument = argv[i + 1];
    std::string bytes;
    const char* message = nullptr;
    if (argument == "empty") {
      message = "";
    } else if (argument.rfind("hex:", 0) == 0) {
      bytes = decode_hex(argument.c_str() + 4);
      message = bytes.c_str();
    }
    if (!call_balanced(scribbet, message, kind)) return 3;
  }
  return 0;
}
