#pragma once
// Handle owners for the benchmark's helper programs.

#include <windows.h>

namespace bench {

class OwnedHandle {
 public:
  explicit OwnedHandle(HANDLE handle = nullptr) noexcept : handle_(handle) {}
  ~OwnedHandle() {
    if (handle_ && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  OwnedHandle(OwnedHandle&& other) noexcept : handle_(other.handle_) {
    other.handle_ = nullptr;
  }
  OwnedHandle& operator=(OwnedHandle&& other) noexcept {
    if (this != &other) {
      this->~OwnedHandle();
      handle_ = other.handle_;
      other.handle_ = nullptr;
    }
    return *this;
  }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;

  HANDLE get() const noexcept { return handle_; }
  explicit operator bool() const noexcept {
    return handle_ && handle_ != INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

// A started process: both of its handles, owned.
struct StartedProcess {
  OwnedHandle process;
  OwnedHandle thread;
  DWORD id = 0;
};

// Milliseconds on the performance counter.
class Stopwatch {
 public:
  Stopwatch() noexcept {
    QueryPerformanceFrequency(&frequency_);
    QueryPerformanceCounter(&start_);
  }
  double ElapsedMs() const noexcept {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart - start_.QuadPart) /
           static_cast<double>(frequency_.QuadPart);
  }

 private:
  LARGE_INTEGER frequency_;
  LARGE_INTEGER start_;
};

}  // namespace bench
