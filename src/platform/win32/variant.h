#pragma once
// Owner of a VARIANT that an automation call fills: cleared exactly once.

#include <windows.h>
#include <oleauto.h>

#include <string>

#include "platform/win32/deferred_imports.h"

namespace orvane::win32 {

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
