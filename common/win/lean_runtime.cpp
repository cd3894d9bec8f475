// The deliverables are built without exceptions (-fno-exceptions). These replace the C++ library's
// allocation operators and its throw helpers, which would otherwise bring in the library's
// exception classes, the exception runtime, the unwinder and the verbose terminate handler with
// its demangler: about half of each binary.
//
// Where the library would throw, the process ends at once, before anything works on with a
// half-done state: out of memory with STATUS_NO_MEMORY, a broken precondition of a library
// container (a string longer than max_size(), an empty std::function called, a pure virtual
// called) with STATUS_FATAL_APP_EXIT. No message box is tried: it needs the very memory that ran
// out, and a host of a module must not be stopped by a box it did not ask for.
//
// The throw helpers are defined as a complete set: the library keeps them together in one object,
// which must not be linked beside these.
#include <windows.h>

#include <bits/functexcept.h>

#include <cstdlib>
#include <new>

namespace {

constexpr UINT kOutOfMemoryExitCode = 0xC0000017;      // STATUS_NO_MEMORY
constexpr UINT kLibraryFailureExitCode = 0x40000015;   // STATUS_FATAL_APP_EXIT

[[noreturn]] void end_process(UINT exit_code) {
  TerminateProcess(GetCurrentProcess(), exit_code);
  // TerminateProcess does not return for the current process; should it, end here all the same.
  ExitProcess(exit_code);
}

[[noreturn]] void end_out_of_memory() { end_process(kOutOfMemoryExitCode); }
[[noreturn]] void end_library_failure() { end_process(kLibraryFailureExitCode); }

// malloc(0) may answer nullptr; operator new must give a unique pointer.
void* try_allocate(std::size_t size) noexcept { return std::malloc(size == 0 ? 1 : size); }

void* allocate(std::size_t size) {
  void* block = try_allocate(size);
  if (!block) end_out_of_memory();
  return block;
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return try_allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return try_allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }

namespace std {

void __throw_bad_alloc() { end_out_of_memory(); }
void __throw_bad_array_new_length() { end_out_of_memory(); }
void __throw_bad_exception() { end_library_failure(); }
void __throw_bad_cast() { end_library_failure(); }
void __throw_bad_typeid() { end_library_failure(); }
void __throw_logic_error(const char*) { end_library_failure(); }
void __throw_domain_error(const char*) { end_library_failure(); }
void __throw_invalid_argument(const char*) { end_library_failure(); }
void __throw_length_error(const char*) { end_library_failure(); }
void __throw_out_of_range(const char*) { end_library_failure(); }
void __throw_out_of_range_fmt(const char*, ...) { end_library_failure(); }
void __throw_runtime_error(const char*) { end_library_failure(); }
void __throw_range_error(const char*) { end_library_failure(); }
void __throw_overflow_error(const char*) { end_library_failure(); }
void __throw_underflow_error(const char*) { end_library_failure(); }
void __throw_bad_function_call() { end_library_failure(); }

}  // namespace std

extern "C" void __cxa_pure_virtual() { end_library_failure(); }
extern "C" void __cxa_deleted_virtual() { end_library_failure(); }
