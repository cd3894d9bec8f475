// COM for the system's own use: an owner of one interface pointer, and the initialisation of COM
// on the current thread for the length of a scope.
#pragma once

#include <objbase.h>

#include <utility>

namespace quadrivo::win {

// Releases the interface it holds when it goes; move-only, so no pointer is released twice.
template <typename Interface>
class ComPointer {
 public:
  ComPointer() = default;
  ~ComPointer() { reset(); }
  ComPointer(const ComPointer&) = delete;
  ComPointer& operator=(const ComPointer&) = delete;
  ComPointer(ComPointer&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPointer& operator=(ComPointer&& other) noexcept {
    if (this != &other) {
      reset();
      pointer_ = std::exchange(other.pointer_, nullptr);
    }
    return *this;
  }

  // For functions that hand out a new reference: whatever was held is released first.
  Interface** put() {
    reset();
    return &pointer_;
  }
  Interface* operator->() const { return pointer_; }
  Interface* get() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  void reset() {
    if (pointer_) std::exchange(pointer_, nullptr)->Release();
  }

 private:
  Interface* pointer_ = nullptr;
};

// COM initialised as a single-threaded apartment for the scope. CoUninitialize() is called only
// when the matching initialisation succeeded (S_FALSE, already initialised, counts and is
// balanced too); a thread already in another apartment mode keeps it.
class ComScope {
 public:
  ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  bool initialised() const { return SUCCEEDED(result_); }

 private:
  HRESULT result_;
};

}  // namespace quadrivo::win
