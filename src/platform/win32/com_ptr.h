#pragma once
// A counted reference to a COM object: AddRef on copy, Release when the
// reference goes, nothing leaked when an out-parameter is filled twice.

#include <windows.h>
#include <unknwn.h>

#include <cstddef>
#include <utility>

namespace orvane::win32 {

template <class T>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  ComPtr(std::nullptr_t) noexcept {}
  ComPtr(const ComPtr& other) noexcept : ptr_(other.ptr_) { AddRef(); }
  ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  ~ComPtr() { reset(); }

  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(ptr_, other.ptr_);
    return *this;
  }

  // Takes over a reference that the caller already holds (no AddRef).
  static ComPtr Attach(T* ptr) noexcept {
    ComPtr result;
    result.ptr_ = ptr;
    return result;
  }

  T* get() const noexcept { return ptr_; }
  T* operator->() const noexcept { return ptr_; }
  explicit operator bool() const noexcept { return ptr_ != nullptr; }

  // Gives the reference up without releasing it.
  T* release() noexcept { return std::exchange(ptr_, nullptr); }

  void reset() noexcept {
    if (T* ptr = std::exchange(ptr_, nullptr)) ptr->Release();
  }

  // For out-parameters: releases the object held and answers where the
  // function should store the new reference.
  T** addressof() noexcept {
    reset();
    return &ptr_;
  }

  // Asks the object for another of its interfaces.
  template <class U>
  HRESULT QueryInterface(ComPtr<U>& other) const noexcept {
    if (!ptr_) return E_POINTER;
    return ptr_->QueryInterface(__uuidof(U),
                                reinterpret_cast<void**>(other.addressof()));
  }

 private:
  void AddRef() noexcept {
    if (ptr_) ptr_->AddRef();
  }

  T* ptr_ = nullptr;
};

}  // namespace orvane::win32
