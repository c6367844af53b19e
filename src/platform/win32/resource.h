#pragma once
// The owners of Win32 and COM resources, in one place: one move-only type
// per handle kind, so that a process handle cannot be passed where a mutex
// is meant, each owned from the line that gets it and closed exactly once;
// a counted COM reference; the BSTR and VARIANT of automation calls. An
// action that is not a handle's closing is a ScopeExit.

#include <windows.h>
#include <oleauto.h>
#include <unknwn.h>

#include <cstddef>
#include <new>
#include <string>
#include <utility>

#include "platform/scope_exit.h"
#include "platform/win32/loader.h"

namespace orvane::win32 {

template <class Traits>
class UniqueHandle {
 public:
  using pointer = typename Traits::pointer;

  UniqueHandle() noexcept = default;
  explicit UniqueHandle(pointer value) noexcept : value_(value) {}
  ~UniqueHandle() { reset(); }

  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  pointer get() const noexcept { return value_; }

  // Gives the handle up without closing it.
  pointer release() noexcept {
    pointer value = value_;
    value_ = Traits::Empty();
    return value;
  }

  // Closes the handle held (if any) and takes `value`.
  void reset(pointer value = Traits::Empty()) noexcept {
    if (is_valid()) Traits::Close(value_);
    value_ = value;
  }

  // For out-parameters: closes the handle held and answers where the
  // function should store the new one.
  pointer* addressof() noexcept {
    reset();
    return &value_;
  }

  // Null and INVALID_HANDLE_VALUE both mean "no handle": Win32 functions
  // answer one or the other on failure, depending on the function.
  bool is_valid() const noexcept { return Traits::IsValid(value_); }
  explicit operator bool() const noexcept { return is_valid(); }

 private:
  pointer value_ = Traits::Empty();
};

namespace detail {

template <class Kind>
struct KernelHandleTraits {
  using pointer = HANDLE;
  static pointer Empty() noexcept { return nullptr; }
  static bool IsValid(pointer h) noexcept {
    return h != nullptr && h != INVALID_HANDLE_VALUE;
  }
  static void Close(pointer h) noexcept { CloseHandle(h); }
};

// Valid as a kernel handle is, but empty as FindFirstFile's failure and
// closed by FindClose.
struct FindHandleTraits : KernelHandleTraits<FindHandleTraits> {
  static pointer Empty() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(pointer h) noexcept { FindClose(h); }
};

// Handles that are null when empty, closed by `CloseFn`.
template <class Handle, auto CloseFn>
struct NullEmptyTraits {
  using pointer = Handle;
  static pointer Empty() noexcept { return nullptr; }
  static bool IsValid(pointer h) noexcept { return h != nullptr; }
  static void Close(pointer h) noexcept { CloseFn(h); }
};

struct ProcessKind;
struct ThreadKind;
struct MutexKind;
struct FileKind;
struct EventKind;
struct SnapshotKind;
struct TokenKind;

}  // namespace detail

using UniqueProcess = UniqueHandle<detail::KernelHandleTraits<detail::ProcessKind>>;
using UniqueThread = UniqueHandle<detail::KernelHandleTraits<detail::ThreadKind>>;
using UniqueMutex = UniqueHandle<detail::KernelHandleTraits<detail::MutexKind>>;
using UniqueFile = UniqueHandle<detail::KernelHandleTraits<detail::FileKind>>;
using UniqueEvent = UniqueHandle<detail::KernelHandleTraits<detail::EventKind>>;
using UniqueToken = UniqueHandle<detail::KernelHandleTraits<detail::TokenKind>>;
// A Toolhelp snapshot (INVALID_HANDLE_VALUE when it could not be taken).
using UniqueSnapshot =
    UniqueHandle<detail::KernelHandleTraits<detail::SnapshotKind>>;
using UniqueFind = UniqueHandle<detail::FindHandleTraits>;
// An icon loaded without LR_SHARED, which its loader owns.
using UniqueIcon = UniqueHandle<detail::NullEmptyTraits<HICON, &DestroyIcon>>;
using UniqueRegistryKey =
    UniqueHandle<detail::NullEmptyTraits<HKEY, &RegCloseKey>>;
// Memory the system allocated for the caller to free with LocalFree (a
// security descriptor read with GetSecurityInfo, FormatMessage's text).
using UniqueLocalMemory =
    UniqueHandle<detail::NullEmptyTraits<HLOCAL, &LocalFree>>;
// A handle of RegisterEventSource.
using UniqueEventSource =
    UniqueHandle<detail::NullEmptyTraits<HANDLE, &DeregisterEventSource>>;

// A counted reference to a COM object: AddRef on copy, Release when the
// reference goes, nothing leaked when an out-parameter is filled twice.
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

// Owner of a BSTR, the counted text that automation calls take: allocated
// from a std::wstring, freed exactly once.
class UniqueBstr {
 public:
  UniqueBstr() noexcept = default;
  // Copies `text`; throws std::bad_alloc when there is no memory for it.
  explicit UniqueBstr(const std::wstring& text)
      : value_(deferred::SysAllocStringLen(
            text.data(), static_cast<UINT>(text.size()))) {
    if (!value_) throw std::bad_alloc();
  }
  ~UniqueBstr() { deferred::SysFreeString(value_); }

  UniqueBstr(const UniqueBstr&) = delete;
  UniqueBstr& operator=(const UniqueBstr&) = delete;
  UniqueBstr(UniqueBstr&& other) noexcept
      : value_(std::exchange(other.value_, nullptr)) {}
  UniqueBstr& operator=(UniqueBstr&& other) noexcept {
    std::swap(value_, other.value_);
    return *this;
  }

  BSTR get() const noexcept { return value_; }

 private:
  BSTR value_ = nullptr;
};

// Owner of a VARIANT that an automation call fills: cleared exactly once.
class ScopedVariant {
 public:
  ScopedVariant() noexcept { deferred::VariantInit(&value_); }
  ~ScopedVariant() { deferred::VariantClear(&value_); }

  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;

  const VARIANT& get() const noexcept { return value_; }

  // For out-parameters: clears the value held and answers where the
  // function should store the new one.
  VARIANT* addressof() noexcept {
    deferred::VariantClear(&value_);
    return &value_;
  }

  // The text held, or "" when the value is not a text (VT_NULL among
  // others: a property that is empty or was not selected).
  std::wstring Text() const {
    if (value_.vt != VT_BSTR || value_.bstrVal == nullptr) return {};
    return std::wstring(value_.bstrVal,
                        deferred::SysStringLen(value_.bstrVal));
  }

 private:
  VARIANT value_;
};

}  // namespace orvane::win32
