#pragma once
// Reads a text that a platform function writes into a caller's buffer, the
// way GetSystemDirectory does, whole at any length:
//   read(buffer, size) writes at most `size` characters (its terminating
//   zero included) and answers
//     - the text's length without the zero, when it fitted (less than size);
//     - the size it needs, zero included, when it did not (size or more);
//     - 0 when it failed.
// The buffer is grown to the size asked for and the call made again, since
// the text may grow between two calls. Nothing is read or written beyond
// the buffer handed over.

#include <cstdint>
#include <memory>
#include <string>

namespace orvane {

template <class Char, class Read>
std::basic_string<Char> ReadGrowing(Read&& read, std::uint32_t initialSize) {
  // Enough for a text that keeps growing while it is read; more means the
  // function never settles, and the text cannot be told.
  constexpr int kMaxAttempts = 8;
  // Beyond any path the platform can hold (32767 characters).
  constexpr std::uint32_t kMaxSize = 1u << 20;

  std::uint32_t size = initialSize > 0 ? initialSize : 1;
  for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
    // An allocation of exactly `size`, so that a function that wrote past
    // the size it was given would be caught by the memory checkers.
    std::unique_ptr<Char[]> buffer(new Char[size]());
    const std::uint32_t reported = read(buffer.get(), size);
    if (reported == 0) return {};
    if (reported < size) return std::basic_string<Char>(buffer.get(), reported);
    // Too small. A function that answers exactly `size` breaks the rules
    // above; grow anyway rather than ask again with the same size.
    const std::uint32_t next = reported > size ? reported : size + 1;
    if (next > kMaxSize) return {};
    size = next;
  }
  return {};
}

}  // namespace orvane
