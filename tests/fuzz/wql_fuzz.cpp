// Any image name and command line: the literals of the built query read
// back, escapes undone, as exactly the texts that went in, and the query
// has nothing after its last literal.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "process/wql.h"

namespace {

// Reads the single-quoted literal that starts after `prefix` at `at`;
// aborts when the query is not shaped so.
std::string Literal(const std::string& query, std::size_t& at,
                    const std::string& prefix) {
  if (query.compare(at, prefix.size(), prefix) != 0) std::abort();
  at += prefix.size();
  std::string value;
  while (at < query.size()) {
    char c = query[at++];
    if (c == '\'') return value;
    if (c == '\\') {
      if (at == query.size()) std::abort();
      c = query[at++];
    }
    value += c;
  }
  std::abort();  // unterminated literal
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find('\0');
  const std::string name = input.substr(0, split);
  const std::string commandLine =
      split == std::string::npos ? std::string() : input.substr(split + 1);

  for (bool withHandle : {false, true}) {
    const std::string query =
        orvane::CommandLineQuery(name, commandLine, withHandle);
    std::size_t at = 0;
    const std::string select = withHandle
        ? "Select Name, CommandLine, Handle from Win32_Process Where Name = '"
        : "Select Name, CommandLine from Win32_Process Where Name = '";
    if (Literal(query, at, select) != name) std::abort();
    if (Literal(query, at, " And CommandLine = '") != commandLine) std::abort();
    if (at != query.size()) std::abort();
  }

  const std::string either = orvane::EitherNameQuery(name, commandLine);
  std::size_t at = 0;
  if (Literal(either, at, "Select Name, Handle from Win32_Process Where Name = '") != name) std::abort();
  if (Literal(either, at, " Or  Name = '") != commandLine) std::abort();
  if (at != either.size()) std::abort();
  return 0;
}
