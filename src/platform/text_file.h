#pragma once
// Port: appending to a text file.

#include <string>

namespace orvane {

class TextAppender {
 public:
  virtual ~TextAppender() = default;

  // Appends `text` (UTF-8, lines already ended with CR LF) to the file at
  // `path`, creating it when missing, converted to the ANSI code page. The
  // file is opened once and written with one write, sharing read and write
  // with others, so readers do not block it and appends of two writers never
  // interleave. Tries once, and answers false when another program holds
  // the file open without sharing write, unless `lastTry`. Throws Failure
  // when it cannot be opened (held open, on the last try) or written; then
  // nothing of `text` is in the file.
  virtual bool Append(const std::string& path, const std::string& text,
                      bool lastTry) = 0;
};

}  // namespace orvane
