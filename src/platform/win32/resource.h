#pragma once
// Move-only owners of Win32 handles, one type per handle kind, so that a
// process handle cannot be passed where a mutex is meant. A handle is owned
// from the line that gets it and closed exactly once.

#include <windows.h>

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

struct FindHandleTraits {
  using pointer = HANDLE;
  static pointer Empty() noexcept { return INVALID_HANDLE_VALUE; }
  static bool IsValid(pointer h) noexcept {
    return h != nullptr && h != INVALID_HANDLE_VALUE;
  }
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
// security descriptor read with GetSecurityInfo).
using UniqueLocalMemory =
    UniqueHandle<detail::NullEmptyTraits<HLOCAL, &LocalFree>>;
// A handle of RegisterEventSource.
using UniqueEventSource =
    UniqueHandle<detail::NullEmptyTraits<HANDLE, &DeregisterEventSource>>;

}  // namespace orvane::win32
