#pragma once
// The management-service query texts that find defragmenter processes.

#include <string>

namespace orvane {

// `text` as the inside of a single-quoted WQL literal: backslash and single
// quote are escaped with a backslash; everything else stays as it is.
std::string WqlQuoted(const std::string& text);

// Processes with image name `imageName`.
std::string ProcessNameQuery(const std::string& imageName);

// Processes with image name `imageName` started with exactly `commandLine`;
// `withHandle` also selects the key that ending a process needs.
std::string CommandLineQuery(const std::string& imageName,
                             const std::string& commandLine, bool withHandle);

// Processes with either image name, with their keys, to end them.
std::string EitherNameQuery(const std::string& firstName,
                            const std::string& secondName);

}  // namespace orvane
