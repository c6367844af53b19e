// What the GNU C++ runtime (libstdc++) would link into the exe for the
// program's rare failures, replaced by smaller parts; built with the GNU
// toolchain only, as another runtime has none of these functions.
//
// The runtime's own failures inside a string or vector (more than it can
// hold, a position past its end, a string made from a null pointer) are
// thrown as a Failure with the runtime's own text. The runtime's versions
// of these functions throw the std::logic_error family, which keeps its
// text in a copy-on-write string of the runtime's own: they alone linked
// that string's code, a second std::string's and their unwind tables, some
// 85 KB, into the exe. No handler in the program catches those types by
// name; each catches Failure or std::exception and records or shows its
// what(), under the number that Steps gives a failure that is not the
// platform's: the same text and number either way.
//
// libstdc++ keeps every __throw_* function in one object file. Code that
// needs one not replaced here (std::stoi's __throw_invalid_argument, say)
// makes the linker take that whole file, whose copies of the functions
// below then clash with these: one new use of the library's throwing
// helpers can break the link. Replace that function here as well.

#include <bits/functexcept.h>

#include <cstdarg>
#include <cstddef>
#include <cstdlib>
#include <new>

#include "platform/steps.h"

namespace {

[[noreturn]] void ThrowRuntimeFailure(const char* what) {
  throw orvane::Failure(orvane::Steps::kUnexpectedFailure, what);
}

// Appends `text` to `out`, which has room for `room` characters more.
void Append(char*& out, std::size_t& room, const char* text) {
  for (; *text != '\0' && room > 0; ++text, --room) *out++ = *text;
}

void AppendNumber(char*& out, std::size_t& room, std::size_t number) {
  char digits[24];
  char* first = digits + sizeof digits - 1;
  *first = '\0';
  do {
    *--first = static_cast<char>('0' + number % 10);
    number /= 10;
  } while (number != 0);
  Append(out, room, first);
}

}  // namespace

namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }

void __throw_bad_array_new_length() {
  throw bad_array_new_length();
}

void __throw_logic_error(const char* what) {
  ThrowRuntimeFailure(what);
}

void __throw_length_error(const char* what) {
  ThrowRuntimeFailure(what);
}

// The runtime's formats hold only %s, %zu and %%, as its own formatter
// knows only those.
void __throw_out_of_range_fmt(const char* format, ...) {
  char what[512];
  char* out = what;
  std::size_t room = sizeof what - 1;
  va_list arguments;
  va_start(arguments, format);
  for (const char* c = format; *c != '\0' && room > 0; ++c) {
    if (c[0] == '%' && c[1] == 's') {
      Append(out, room, va_arg(arguments, const char*));
      c += 1;
    } else if (c[0] == '%' && c[1] == 'z' && c[2] == 'u') {
      AppendNumber(out, room, va_arg(arguments, std::size_t));
      c += 2;
    } else if (c[0] == '%' && c[1] == '%') {
      Append(out, room, "%");
      c += 1;
    } else {
      *out++ = *c;
      --room;
    }
  }
  va_end(arguments);
  *out = '\0';
  ThrowRuntimeFailure(what);
}

}  // namespace std

// An exception that nothing catches ends the program without a word, as
// any other would here: this replaces the runtime's verbose handler, which
// would link a C++ demangler (some 46 KB) into an exe that never prints.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
