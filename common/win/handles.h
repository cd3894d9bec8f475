// Move-only owners for Win32 handles: each closes its handle exactly once, when it goes out of
// scope or is reset. Copying is deleted so that no handle is closed twice.
#pragma once

#include <windows.h>

#include <utility>

namespace quadrivo::win {

template <typename Handle, typename Traits>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  ~UniqueHandle() { reset(); }

  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::invalid(); }

  Handle release() { return std::exchange(handle_, Traits::invalid()); }
  void reset(Handle handle = Traits::invalid()) {
    const Handle old = std::exchange(handle_, handle);
    if (old != Traits::invalid()) Traits::close(old);
  }

 private:
  Handle handle_ = Traits::invalid();
};

// CreateFileW answers INVALID_HANDLE_VALUE on failure.
struct FileHandleTraits {
  static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
  static void close(HANDLE handle) { CloseHandle(handle); }
};
// Processes, threads, events, mappings answer NULL on failure.
struct KernelHandleTraits {
  static HANDLE invalid() { return nullptr; }
  static void close(HANDLE handle) { CloseHandle(handle); }
};
struct LibraryTraits {
  static HMODULE invalid() { return nullptr; }
  static void close(HMODULE module) { FreeLibrary(module); }
};
template <typename GdiObject>
struct GdiObjectTraits {
  static GdiObject invalid() { return nullptr; }
  static void close(GdiObject object) { DeleteObject(object); }
};

using UniqueFile = UniqueHandle<HANDLE, FileHandleTraits>;
using UniqueKernelHandle = UniqueHandle<HANDLE, KernelHandleTraits>;
using UniqueLibrary = UniqueHandle<HMODULE, LibraryTraits>;
using UniqueFont = UniqueHandle<HFONT, GdiObjectTraits<HFONT>>;
using UniqueBitmap = UniqueHandle<HBITMAP, GdiObjectTraits<HBITMAP>>;
using UniqueBrush = UniqueHandle<HBRUSH, GdiObjectTraits<HBRUSH>>;

}  // namespace quadrivo::win
