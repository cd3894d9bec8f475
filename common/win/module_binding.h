// The companion modules' exported functions, bound by library file name and function name at
// their first call: the run directory is searched first, then the system's usual library search.
// Once bound, the library stays loaded until the process ends. A module that cannot be bound is
// fatal: a message naming the library file and the function, then the process ends with
// kBindingFailedExitCode. The program binds both functions, Novavis.dll binds Scribbet the same
// way.
#pragma once

#include <windows.h>

namespace quadrivo::win {

// The one exit code of a failed binding, wherever it happens: -1, as the update module has always
// ended with it.
inline constexpr UINT kBindingFailedExitCode = static_cast<UINT>(-1);

struct ModuleExport {
  const wchar_t* library_file;
  const char* function_name;
};

// Scribbet(message, kind): appends one entry to log.txt. __stdcall, two 32-bit arguments.
using ScribbetFunction = int __stdcall(const char* message, int kind);
inline constexpr ModuleExport kScribbetExport{L"Scribbet.dll", "Scribbet"};

// Novavis(): shows the update window and returns when it closes. __stdcall, no arguments.
using NovavisFunction = int __stdcall();
inline constexpr ModuleExport kNovavisExport{L"Novavis.dll", "Novavis"};

// Loads the library (run directory first) and resolves the function; a library without the
// function is released again. nullptr when either fails.
FARPROC bind_export(const ModuleExport& which);

// Shows the fatal binding message and ends the process with kBindingFailedExitCode. From the
// first call on, binding_has_failed() is true: the message's own loop may run handlers that
// reach for a module, and those must neither bind nor stack a second message.
[[noreturn]] void fail_binding(const ModuleExport& which);
bool binding_has_failed();

template <typename Function>
class LazyExport {
 public:
  constexpr explicit LazyExport(const ModuleExport& which) : which_(which) {}

  // The bound entry point; binds at the first use and ends the process when that fails. Once a
  // binding of the process has failed (its message is still up), nullptr: the caller does nothing.
  Function* get() {
    if (entry_) return entry_;
    if (binding_has_failed()) return nullptr;
    const FARPROC entry = bind_export(which_);
    if (!entry) fail_binding(which_);
    entry_ = reinterpret_cast<Function*>(reinterpret_cast<void*>(entry));
    return entry_;
  }

 private:
  ModuleExport which_;
  Function* entry_ = nullptr;
};

}  // namespace quadrivo::win
