// A function exported by a companion module, bound by library file name and function name at
// its first call: the run directory is searched first, then the system's usual library search.
// Once bound, the library stays loaded until the process ends. A module that cannot be bound is
// fatal: a message naming the library file and the function, then the process ends.
#pragma once

#include <windows.h>

namespace quadrivo::win {

// Shows the fatal binding message and ends the process with the given exit code.
[[noreturn]] void fail_binding(const wchar_t* library_file, const char* function_name, UINT exit_code);

// Loads library_file (run directory first) and resolves function_name; a library without the
// function is released again. Returns nullptr when either fails.
FARPROC bind_export(const wchar_t* library_file, const char* function_name);

template <typename Function>
class LazyExport {
 public:
  constexpr LazyExport(const wchar_t* library_file, const char* function_name, UINT fatal_exit_code)
      : library_file_(library_file), function_name_(function_name), fatal_exit_code_(fatal_exit_code) {}

  // The bound entry point; binds at the first use and ends the process when that fails.
  Function* get() {
    if (!entry_) {
      const FARPROC entry = bind_export(library_file_, function_name_);
      if (!entry) fail_binding(library_file_, function_name_, fatal_exit_code_);
      entry_ = reinterpret_cast<Function*>(reinterpret_cast<void*>(entry));
    }
    return entry_;
  }
  bool bound() const { return entry_ != nullptr; }

 private:
  const wchar_t* library_file_;
  const char* function_name_;
  UINT fatal_exit_code_;
  Function* entry_ = nullptr;
};

}  // namespace quadrivo::win
