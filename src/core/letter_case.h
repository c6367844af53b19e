#pragma once
// Switches and drive letters are compared without regard to letter case;
// only the ASCII letters have a case that matters to them.

#include <string>

namespace orvane {

inline std::string UpperCaseAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

}  // namespace orvane
