#pragma once
// Appending ANSI text to a file on Win32: one CreateFile for appending, one
// WriteFile.

#include "platform/text_file.h"

namespace orvane::win32 {

class Win32TextAppender : public TextAppender {
 public:
  // A lone try, by default: a file held open throws as any failure does.
  bool Append(const std::string& path, const std::string& text,
              bool lastTry = true) override;
};

}  // namespace orvane::win32
