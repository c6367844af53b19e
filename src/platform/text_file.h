#pragma once
// Port: appending to a text file.

#include <string>

#include "platform/failure.h"

namespace orvane {

// The file is held open by another program that lets no one else write;
// trying again later may succeed.
class FileHeldOpen : public Failure {
 public:
  using Failure::Failure;
};

class TextAppender {
 public:
  virtual ~TextAppender() = default;

  // Appends `text` (UTF-8, lines already ended with CR LF) to the file at
  // `path`, creating it when missing, converted to the ANSI code page. The
  // file is opened once and written with one write, sharing read and write
  // with others, so readers do not block it and appends of two writers never
  // interleave. Tries once: throws FileHeldOpen when another program holds
  // the file open without sharing write, Failure when it cannot be opened
  // or written otherwise; then nothing of `text` is in the file.
  virtual void Append(const std::string& path, const std::string& text) = 0;
};

}  // namespace orvane
