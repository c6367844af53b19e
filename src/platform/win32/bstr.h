#pragma once
// Owner of a BSTR, the counted text that automation calls take: allocated
// from a std::wstring, freed exactly once.

#include <windows.h>
#include <oleauto.h>

#include <new>
#include <string>
#include <utility>

#include "platform/win32/deferred_imports.h"

namespace orvane::win32 {

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

}  // namespace orvane::win32
