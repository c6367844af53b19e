#include "process/wql.h"

namespace orvane {

std::string WqlQuoted(const std::string& text) {
  std::string quoted;
  quoted.reserve(text.size() + 8);
  for (char c : text) {
    if (c == '\\' || c == '\'') quoted += '\\';
    quoted += c;
  }
  return quoted;
}

std::string ProcessNameQuery(const std::string& imageName) {
  return "Select Name from Win32_Process Where Name = '" +
         WqlQuoted(imageName) + "'";
}

std::string CommandLineQuery(const std::string& imageName,
                             const std::string& commandLine, bool withHandle) {
  return std::string("Select Name, CommandLine") +
         (withHandle ? ", Handle" : "") +
         " from Win32_Process Where Name = '" + WqlQuoted(imageName) +
         "' And CommandLine = '" + WqlQuoted(commandLine) + "'";
}

std::string EitherNameQuery(const std::string& firstName,
                            const std::string& secondName) {
  // Two blanks between Or and Name: the text is sent as it always was.
  return "Select Name, Handle from Win32_Process Where Name = '" +
         WqlQuoted(firstName) + "' Or  Name = '" + WqlQuoted(secondName) +
         "'";
}

}  // namespace orvane
