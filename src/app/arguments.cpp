#include "app/arguments.h"

#include <cstddef>

#include "core/letter_case.h"

namespace orvane {
namespace {

// Only the space character counts as a blank; tabs stay.
std::string TrimBlanks(const std::string& text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  std::size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

std::string RemoveAll(std::string text, const std::string& piece) {
  for (std::size_t at = text.find(piece); at != std::string::npos;
       at = text.find(piece, at)) {
    text.erase(at, piece.size());
  }
  return text;
}

}  // namespace

std::string ArgumentTextOf(const std::string& commandLine) {
  std::size_t i = 0;
  const std::size_t n = commandLine.size();
  if (n > 0 && commandLine[0] == '"') {
    std::size_t close = commandLine.find('"', 1);
    i = close == std::string::npos ? n : close + 1;
  } else {
    while (i < n && commandLine[i] != ' ' && commandLine[i] != '\t') ++i;
  }
  while (i < n && (commandLine[i] == ' ' || commandLine[i] == '\t')) ++i;
  return commandLine.substr(i);
}

void ReadSwitches(const std::string& argumentText, SharedState& state) {
  const std::string arguments = TrimBlanks(UpperCaseAscii(argumentText));
  if (arguments.empty()) return;

  std::size_t start = 0;
  while (start <= arguments.size()) {
    std::size_t end = arguments.find(' ', start);
    if (end == std::string::npos) end = arguments.size();
    const std::string token = TrimBlanks(arguments.substr(start, end - start));
    start = end + 1;
    if (token.empty()) continue;

    if (token == "-S") state.bAutoStart = kTrue;
    if (token == "-M") state.bRestoreWhenDone = kTrue;
    if (token == "-E" && state.bRestoreWhenDone == kFalse) {
      state.bExitWhenDone = kTrue;
    }
    if (token.compare(0, 3, "/R:") == 0) {
      state.sExcludedDrives = RemoveAll(token, "/R:");
    }
  }
}

}  // namespace orvane
