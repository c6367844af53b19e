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
  // interleave. A file that another program holds open without sharing
  // write is tried again for up to 10 seconds. Throws Failure when the file cannot be opened or written;
  // then nothing of `text` is in the file.
  virtual void Append(const std::string& path, const std::string& text) = 0;
};

}  // namespace orvane
